#pragma once
#include <cstdint>

#include "engine/sprite.h"

// A cannon's shell (falls under gravity) or a plane's bullet (flies straight
// and vanishes off screen). Ends in the sea, off screen or in the enemy vehicle.
class Cannonball : public Sprite {
  public:
    static constexpr int32_t kShell = 0;
    static constexpr int32_t kBullet = 1;

    Cannonball(ZefDX* owner, int32_t side, int32_t x, int32_t y, int32_t direction, int32_t speed,
               int32_t kind);

    void process() override;

    int32_t side;
    int32_t kind;
    double posX;
    double posY;
    double vx;
    double vy;
};
