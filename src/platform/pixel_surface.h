#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/rect.h"

namespace platform {

// A 16-bit picture in memory, always in the 5-6-5 layout. Pixel value 0 is
// the colour key of every keyed blit. Both backends draw with these.
class PixelSurface {
  public:
    // A new surface of the given size, every pixel 0.
    PixelSurface(int width, int height);
    ~PixelSurface();
    PixelSurface(const PixelSurface&) = delete;
    PixelSurface& operator=(const PixelSurface&) = delete;

    // Decodes a BMP held in memory and converts it to 5-6-5 (colours whose
    // bits are all lost in the conversion become 0, hence transparent).
    // Reads only the bytes the BMP's own header describes; the buffer may go
    // on past the picture. Returns null and sets `error` on a damaged file.
    static std::unique_ptr<PixelSurface> decodeBMP(const uint8_t* data, size_t size,
                                                   std::string& error);

    int width() const;
    int height() const;

    // Direct access (the "lock"): rows of `pitch()` bytes.
    uint16_t* pixels();
    const uint16_t* pixels() const;
    int pitch() const;

    // A surface with a clipper cuts every blit and fill to its clip
    // rectangle (the source in proportion). Without one, a destination that
    // is not wholly inside the surface is refused with kErrInvalidRect.
    void setClipper(const Rect& clip);  // clip is cut to the surface
    void removeClipper();
    bool hasClipper() const;
    Rect clipRect() const;

    struct BlitOptions {
        bool colourKey = true;  // skip source pixels equal to 0
        bool mirror = false;    // left-right mirror
    };
    // Copies `src` of this surface to `dst` of `dest`, stretched when the
    // sizes differ (nearest neighbour). Empty or inverted rectangles draw
    // nothing and return kOk. Returns a result code.
    int32_t blit(PixelSurface& dest, const Rect& src, const Rect& dst,
                 const BlitOptions& options) const;

    // Fills the rectangle (null: the whole surface) with a raw pixel value.
    int32_t fill(const Rect* rect, uint16_t pixel);

    // Plain opaque copy of a whole picture with its top-left at (x, y), cut
    // to this surface (the device-context copy of a decoded BMP).
    void copyPicture(const PixelSurface& picture, int x, int y);

    uint16_t getPixel(int x, int y) const;        // 0 outside
    void setPixel(int x, int y, uint16_t pixel);  // ignored outside

    // Unfilled rounded rectangle (exclusive right/bottom), corner ellipses
    // cornerW by cornerH, cut to the clip rectangle or the surface.
    void drawRoundRect(const Rect& r, int cornerW, int cornerH, uint16_t pixel);

    // 0x00BBGGRR to the 5-6-5 pixel value, the same conversion decodeBMP uses.
    static uint16_t pixelFromRGB(uint32_t rgb);

  private:
    void flipRows();  // top line to the bottom and back
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
