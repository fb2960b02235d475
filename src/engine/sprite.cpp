#include "engine/sprite.h"

#include <algorithm>

#include "engine/zef_dx.h"

namespace {

// An edge counts when it lies on the screen; a picture wider than the
// screen with both edges outside is therefore not drawn.
bool edgeOnScreen(int32_t low, int32_t size, int32_t screen) {
    const int32_t high = low + size;
    return (low >= 0 && low < screen) || (high >= 0 && high < screen);
}

struct CollisionShape {
    int32_t cx, cy, rx, ry;
};

CollisionShape shapeOf(const Sprite& sprite) {
    const Surface& s = *sprite.surface;
    return CollisionShape{sprite.x - s.hotspotX + s.width / 2, sprite.y - s.hotspotY + s.height / 2,
                          int32_t((s.width / 2) * s.collisionScale),
                          int32_t((s.height / 2) * s.collisionScale)};
}

}  // namespace

Sprite::Sprite(ZefDX* owner, int32_t x, int32_t y, Surface* surface)
    : ZefBase(owner), x(x), y(y), surface(surface) {}

bool Sprite::isOnScreen() const {
    if (surface == nullptr) return false;
    const int32_t drawX = screenFixed ? x : x - owner->viewX;
    const int32_t drawY = screenFixed ? y : y - owner->viewY;
    return edgeOnScreen(drawX - surface->hotspotX, surface->width, owner->width) &&
           edgeOnScreen(drawY - surface->hotspotY, surface->height, owner->height);
}

void Sprite::process() {
    if (surface == nullptr || hidden) return;
    if (isOnScreen()) {
        const int32_t drawX = screenFixed ? x : x - owner->viewX;
        const int32_t drawY = screenFixed ? y : y - owner->viewY;
        surface->blit(owner->back, drawX, drawY, nullptr,
                      blitFx.mirrorLeftRight ? &blitFx : nullptr, scale);
        if (owner->debugLevel > 1) surface->drawOutline(drawX, drawY);
    }
    // The animation runs whether or not the picture was drawn.
    ++tick;
    if (tick >= surface->frameDuration) {
        tick = 0;
        if (surface->nextFrame == nullptr) {
            killed = true;
        } else {
            surface = surface->nextFrame;
        }
    }
}

bool Sprite::collides(const Sprite* other) const {
    const CollisionShape a = shapeOf(*this);
    const CollisionShape b = shapeOf(*other);
    if (a.cx + a.rx < b.cx - b.rx || a.cy + a.ry < b.cy - b.ry || a.cx - a.rx > b.cx + b.rx ||
        a.cy - a.ry > b.cy + b.ry) {
        return false;
    }
    // Past the box test the distances are bounded by the radii; 64 bits only
    // keep absurd picture sizes from overflowing.
    const int64_t r = std::max(a.rx, a.ry) + std::max(b.rx, b.ry);
    const int64_t dx = a.cx - b.cx;
    const int64_t dy = a.cy - b.cy;
    return dx * dx + dy * dy < r * r;
}
