#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/pixel_surface.h"

namespace platform {

// A scalable font found by family name through fontconfig, drawn with a
// transparent background. Alignment uses the text-alignment flags the game
// passes: 0 = left/top at (x, y), 6 = centred on x with the top at y,
// 2 = ending at x.
class Typeface {
  public:
    ~Typeface();
    // Null and `error` set when fontconfig finds no usable font at all.
    static std::unique_ptr<Typeface> open(const std::string& family, int pixelHeight,
                                          std::string& error);
    void draw(PixelSurface& surface, int x, int y, const std::string& text, uint32_t rgb,
              int alignment);
    std::string path() const;  // the file fontconfig resolved

  private:
    Typeface();
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
