#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "engine/zef_base.h"
#include "platform/pixel_surface.h"
#include "platform/rect.h"

using RECT = platform::Rect;

// Blit flags kept with the display device's values.
constexpr uint32_t DDBLT_KEYSRC = 0x8000;
constexpr uint32_t DDBLT_DDFX = 0x800;

// The blit effects record: only left-right mirroring is used.
struct BlitFx {
    bool mirrorLeftRight = false;
};

// Centre sentinel for loadBMP's coordinates.
constexpr int32_t kCentre = -32768;

// A 16-bit picture: the front or back screen surface, or one loaded from a
// BMP file, with the hotspot and animation values sprites need.
class Surface : public ZefBase {
  public:
    explicit Surface(ZefDX* owner);
    // Loads the BMP `fileName` through the file manager; hotspot at the centre.
    Surface(ZefDX* owner, const std::string& fileName);
    ~Surface() override;

    void createAsFront();
    void createAsBack();
    void createBackClipper();
    // Null: the whole surface.
    int32_t setClipRect(const RECT* rect);

    // Draws this surface (or `src` of it) so that (x, y) of `dest` receives
    // the hotspot. `fx` may be null; `scale` 1.0 is natural size.
    int32_t blit(Surface* dest, int32_t x, int32_t y, const RECT* src = nullptr,
                 const BlitFx* fx = nullptr, double scale = 1.0);
    // The destination rectangle such a blit covers, before any clipping.
    RECT placement(int32_t x, int32_t y, const RECT* src = nullptr, double scale = 1.0) const;
    int32_t fill(const RECT* rect, uint32_t pixel);
    int32_t fillRGB(const RECT* rect, uint32_t rgb);
    // The pixel value of an RGB colour (0x00BBGGRR), or 0xFFFFFFFF when the
    // surface has no pixels.
    uint32_t matchColor(uint32_t rgb);
    uint32_t firstPixel();
    // Draws a BMP file onto this surface with its top-left at (x, y); either
    // may be kCentre.
    void loadBMP(const std::string& fileName, int32_t x, int32_t y);
    void setHotspot(int32_t code);
    void drawOutline(int32_t x, int32_t y);

    Surface* nextFrame;
    int32_t width = 0;
    int32_t height = 0;
    int32_t hotspotX = 0;
    int32_t hotspotY = 0;
    int32_t frameDuration = 1;
    double collisionScale = 1.0;
    uint32_t blitFlags = DDBLT_KEYSRC;
    // Public: the engine swaps the front and back pictures on a flip.
    std::unique_ptr<platform::PixelSurface> ddSurface;

  private:
    void createScreenSurface(const char* operation, const char* message, bool clipped);
    std::unique_ptr<platform::PixelSurface> decodeFile(const std::string& fileName,
                                                       const char* operation);
};
