#include "engine/sprite_font.h"

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "services/zef_file_manager.h"

SpriteFont::SpriteFont(ZefDX* owner, const std::string& baseName) : ZefBase(owner) {
    int32_t loaded = 0, widthSum = 0, heightSum = 0;
    for (int i = 0; i < kGlyphCount; ++i) {
        const std::string name = baseName + "_" + std::to_string(i + kFirstCode) + ".bmp";
        if (!owner->fileManager->fileExists(name)) continue;
        glyphs[size_t(i)] = std::make_unique<Surface>(owner, name);
        glyphs[size_t(i)]->setHotspot(0);
        widthSum += glyphs[size_t(i)]->width;
        heightSum += glyphs[size_t(i)]->height;
        ++loaded;
    }
    // With no glyph at all there is nothing to average: the space keeps its default.
    if (loaded > 0) {
        averageHeight = heightSum / loaded;
        averageWidth = widthSum / loaded;
        spaceWidth = int32_t(averageWidth * 0.75);
    }
}

SpriteFont::~SpriteFont() = default;

Surface* SpriteFont::glyphFor(unsigned char code) const {
    if (code < kFirstCode || code >= kFirstCode + kGlyphCount) return nullptr;
    return glyphs[size_t(code - kFirstCode)].get();
}

int32_t SpriteFont::textWidth(const std::string& text) const {
    int32_t w = -spacing;  // no spacing after the last glyph
    for (unsigned char c : text) {
        if (c == ' ') {
            w += spaceWidth;
        } else if (Surface* glyph = glyphFor(c)) {
            w += glyph->width + spacing;
        }
    }
    return w;
}

void SpriteFont::draw(Surface* surface, int32_t x, int32_t y, const std::string& text,
                      int32_t mode) {
    if (owner != nullptr && owner->drawingOff) return;
    if (mode == 6) x -= textWidth(text) / 2;
    if (mode == 2) x -= textWidth(text);
    for (unsigned char c : text) {
        if (c == ' ') {
            x += spaceWidth;
        } else if (Surface* glyph = glyphFor(c)) {
            glyph->blit(surface, x, y);
            x += glyph->width + spacing;
        }
    }
}
