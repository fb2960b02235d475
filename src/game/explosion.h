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

// How a burst flies out.
struct Burst {
    int32_t count = 0;       // sparks, at most Explosion::kMaxSparks
    int32_t maxSpeed = 256;  // 1/256 pixel per frame
    int32_t direction = 0;   // the middle of the cone
    int32_t spread = 256;    // the width of the cone; 256 all round
    bool gravity = true;     // sparks fall

    constexpr Burst toward(int32_t heading) const {
        Burst burst = *this;
        burst.direction = heading;
        return burst;
    }
};

// The bursts of the match.
constexpr Burst kPlaneHitBurst{250, 1280};             // a plane shot down
constexpr Burst kPalmHitBurst{200, 512};               // a bomb on a palm
constexpr Burst kShellHitBurst{100, 1280, 0, 64};      // a shot on a vehicle, along the shot
constexpr Burst kBombMeetsShotBurst{50, 256};          // a bomb and a shot in the air
constexpr Burst kMuzzleBurst{25, 256, 0, 128, false};  // a cannon firing, along the barrel
constexpr Burst kSmokeBurst{25, 512, 0, 192, false};   // behind a falling plane

// A burst of sparks flying out in a cone, fading through four picture bands.
// Deletes itself (through `killed`) once no spark is alive.
class Explosion : public ZefBase {
  public:
    static constexpr int32_t kMaxSparks = 250;

    Explosion(ZefDX* owner, int32_t x, int32_t y, const Burst& burst);

    void process() override;

    bool gravity;
    int32_t count;
    Spark sparks[kMaxSparks];
};
