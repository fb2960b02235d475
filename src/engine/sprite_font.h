#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "engine/zef_base.h"

class Surface;

// A bitmap font: one picture per character code 33..127, from base_<code>.bmp.
class SpriteFont : public ZefBase {
  public:
    SpriteFont(ZefDX* owner, const std::string& baseName);
    ~SpriteFont() override;

    int32_t textWidth(const std::string& text) const;
    // Mode 6 centres the text on x, mode 2 ends it at x, others start it at x.
    void draw(Surface* surface, int32_t x, int32_t y, const std::string& text, int32_t mode);

    static constexpr int kFirstCode = 33;
    static constexpr int kGlyphCount = 95;
    std::array<std::unique_ptr<Surface>, kGlyphCount> glyphs;
    int32_t spacing = 1;
    int32_t spaceWidth = 10;
    int32_t averageWidth = 0;
    int32_t averageHeight = 0;

  private:
    Surface* glyphFor(unsigned char code) const;
};
