#pragma once
#include <cstdint>

#include "engine/surface.h"
#include "engine/zef_base.h"

// A picture at a position, with its own frame animation and collision test.
class Sprite : public ZefBase {
  public:
    Sprite(ZefDX* owner, int32_t x, int32_t y, Surface* surface);

    // Draws (when on screen) and steps the animation.
    void process() override;
    bool isOnScreen() const;
    // Box test on the half extents, then a circle test; both need a surface.
    bool collides(const Sprite* other) const;

    int32_t x;
    int32_t y;
    Surface* surface;  // not owned
    int32_t tick = 0;
    bool screenFixed = false;
    bool hidden = false;
    double scale = 1.0;
    BlitFx blitFx;  // set mirrorLeftRight to draw mirrored
};
