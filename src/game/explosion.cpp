#include "game/explosion.h"

#include <cmath>
#include <cstdlib>

#include "engine/directions.h"
#include "engine/sprite.h"
#include "engine/surface_chain.h"
#include "engine/zef_dx.h"
#include "game/sea_level.h"
#include "shell/main_window.h"

namespace {

constexpr double kSubPixel = 0.00390625;  // velocities are in 1/256 pixel

}  // namespace

Explosion::Explosion(ZefDX* owner, int32_t x, int32_t y, const Burst& burst)
    : ZefBase(owner), gravity(burst.gravity), count(burst.count) {
    const int32_t maxSpeed = burst.maxSpeed;
    const int32_t direction = burst.direction;
    int32_t spread = burst.spread;
    if (spread == 0) spread = 2;
    // The array is fixed; a larger count would write past it.
    if (this->count > kMaxSparks) this->count = kMaxSparks;
    if (this->count < 0) this->count = 0;
    const int32_t half = spread / 2;
    Random& random = Form1->random;
    for (int32_t i = 0; i < this->count; ++i) {
        Spark& spark = sparks[i];
        spark.x = x;
        spark.y = y;
        const int32_t offset = random.next() % spread - half;
        int32_t d = direction + offset;
        if (d < 0) d += 256;
        if (d > 255) d -= 256;
        // Out-of-range directions (callers never pass them) must not index past the tables.
        d &= 255;
        int32_t s = 1;
        if (maxSpeed - 1 != 0) s = random.next() % (maxSpeed - 1) + 1;
        // Sparks towards the edge of the cone are slower; a one-step cone has no edge.
        if (spread != 256 && half != 0) {
            s = int32_t((1.0 - std::fabs(double(offset) / double(half))) * s);
        }
        spark.vx = s * dirX[d];
        spark.vy = s * dirY[d];
        spark.life = s;
    }
}

void Explosion::process() {
    Sprite drawer(owner, 0, 0, nullptr);
    SurfaceChain* chain = Form1->sparcChain;
    bool anyAlive = false;
    for (int32_t i = 0; i < count; ++i) {
        Spark& spark = sparks[i];
        if (spark.life <= 0) continue;
        anyAlive = true;
        spark.x += spark.vx * kSubPixel;
        spark.y += spark.vy * kSubPixel;
        if (gravity) spark.vy += 16.0;
        int32_t band = ((1024 - spark.life) / 256) * 32;
        if (band < 0) band = 0;
        spark.life -= 32;
        if (spark.y >= kSeaLevel) spark.vy = -std::fabs(std::trunc(spark.vy * 0.5));
        drawer.x = int32_t(spark.x);
        drawer.y = int32_t(spark.y);
        drawer.surface = chain->getSurf(directionOf(spark.vx, spark.vy) / 8 + band);
        drawer.process();
    }
    if (!anyAlive) killed = true;
}
