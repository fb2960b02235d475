#pragma once
#include <cstdint>

#include "engine/zef_base.h"

// One particle; velocities are in 1/256 pixel per frame.
struct Spark {
    double x = 0.0;
    double y = 0.0;
    double vx = 0.0;
    double vy = 0.0;
    int32_t life = 0;
};

// A burst of sparks flying out in a cone, fading through four picture bands.
// Deletes itself (through `killed`) once no spark is alive.
class Explosion : public ZefBase {
  public:
    static constexpr int32_t kMaxSparks = 250;

    Explosion(ZefDX* owner, int32_t x, int32_t y, int32_t count, int32_t maxSpeed,
              int32_t direction, int32_t spread, bool gravity);

    void process() override;

    bool gravity;
    int32_t count;
    Spark sparks[kMaxSparks];
};
