#include <cmath>
#include <string>

#include "art.h"
#include "draw_kit.h"

using namespace kit;

namespace art {
namespace {

// Every glyph has the same height and baseline, so a line of text sits level.
constexpr int kGlyphHeight = 22;
constexpr double kBaseline = 17, kFontSize = 17, kOutline = 1.6;

Picture glyph(char c) {
    const std::string text(1, c);
    double inkLeft = 0, inkWidth = 0;
    {
        Picture probe(1, 1);
        Pen cr(probe);
        selectFont(cr, kFontSize);
        cairo_text_extents_t ext;
        cairo_text_extents(cr, text.c_str(), &ext);
        inkLeft = ext.x_bearing;
        inkWidth = ext.width;
    }
    const int width = static_cast<int>(std::ceil(inkWidth + 2 * kOutline + 1));
    Picture p(width, kGlyphHeight);
    Pen cr(p);
    TextStyle style;
    style.size = kFontSize;
    style.fill = hex(0xFFF6C8);
    style.fillBottom = hex(0xFFB830);
    style.ink = kBrownInk;
    style.inkWidth = kOutline;
    style.centred = false;
    outlinedText(cr, text, kOutline + 0.5 - inkLeft, kBaseline, style);
    return p;
}

}  // namespace

void addAlphabet(AssetBundle& bundle) {
    std::vector<Picture> glyphs;
    for (int code = 33; code <= 126; ++code) {
        Picture p = glyph(static_cast<char>(code));
        bundle.addFile("gfx/alphabet_" + std::to_string(code) + ".bmp", p.toBmp());
        glyphs.push_back(std::move(p));
    }
    // The sheet shows the glyphs in code order; the archive names them by code.
    AssetBundle::Group sheet{"gfx/alphabet (33 to 126)", std::move(glyphs)};
    bundle.addGroup(std::move(sheet));
}

}  // namespace art
