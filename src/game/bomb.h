#pragma once
#include <cstdint>

#include "engine/sprite.h"

// A bomb: falls from the plane with its velocity, turns along its flight,
// destroys the first standing enemy palm it touches, bursts on a cannonball
// and splashes in the sea.
class Bomb : public Sprite {
  public:
    Bomb(ZefDX* owner, int32_t side, int32_t x, int32_t y, int32_t direction, int32_t speed);

    void process() override;

    int32_t side;
    double posX;
    double posY;
    double vx;
    double vy;

  private:
    void hitPalm();
    void meetCannonball();
};
