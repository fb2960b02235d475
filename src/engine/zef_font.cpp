#include "engine/zef_font.h"

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "platform/typeface.h"

ZefFont::ZefFont(ZefDX* owner, const std::string& name, int32_t height, uint32_t colour)
    : ZefBase(owner), name(name), height(height), colour(colour) {
    std::string error;
    fontObject = platform::Typeface::open(name, height, error);
    if (!fontObject) {
        owner->fatalError("ZefFont::ZefFont()", "No font found for typeface " + name + ": " + error,
                          -1);
    }
}

ZefFont::~ZefFont() = default;

void ZefFont::draw(Surface* surface, int32_t x, int32_t y, const std::string& text, uint32_t colour,
                   int32_t alignment) {
    if (colour == kOwnColour) colour = this->colour;
    // No picture to draw on is the refused device context: nothing is drawn.
    if (surface == nullptr || !surface->ddSurface) return;
    if (owner != nullptr && owner->drawingOff) return;
    fontObject->draw(*surface->ddSurface, x, y, text, colour, alignment);
}
