#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/directions.h"
#include "game/explosion.h"
#include "support/match_fixture.h"

namespace {

using world_test::frameColour;
using world_test::WorldFixture;

// Explosions processed on their own, with the view at the origin and the
// back surface cleared before each pass.
class ExplosionTest : public WorldFixture {
  protected:
    void SetUp() override {
        WorldFixture::SetUp();
        engine->viewX = 0;
        engine->viewY = 0;
    }
    std::unique_ptr<Explosion> make(int x, int y, int count, int maxSpeed, int direction,
                                    int spread, bool gravity) {
        return std::make_unique<Explosion>(engine, x, y,
                                           Burst{count, maxSpeed, direction, spread, gravity});
    }
    void pass(Explosion& explosion) {
        engine->back->fill(nullptr, 0);
        explosion.process();
    }
    uint16_t backPixel(int x, int y) const { return engine->back->ddSurface->getPixel(x, y); }
};

// Seed 12345: offset 4271370 % 64 - 32 = -22, direction 42; speed
// 1382990846 % 1279 + 1 = 473, slowed by 1 - 22/32 to 147.
TEST_F(ExplosionTest, ConeSparkArithmeticForAKnownSeed) {
    auto explosion = make(100, 200, 1, 1280, 64, 64, false);
    const Spark& spark = explosion->sparks[0];
    EXPECT_EQ(spark.life, 147);
    EXPECT_DOUBLE_EQ(spark.vx, 147 * dirX[42]);
    EXPECT_DOUBLE_EQ(spark.vy, 147 * dirY[42]);
    EXPECT_EQ(spark.x, 100.0);
    EXPECT_EQ(spark.y, 200.0);
}

TEST_F(ExplosionTest, EdgeSparkHasNoSpeedAndIsNeverDrawn) {
    // Seed 32 draws 11072 first: offset -32, the cone's left edge.
    form().random.seed(32);
    auto explosion = make(100, 200, 1, 1280, 64, 64, false);
    EXPECT_EQ(explosion->sparks[0].life, 0);
    EXPECT_EQ(explosion->sparks[0].vx, 0.0);
    pass(*explosion);
    EXPECT_EQ(backPixel(100, 200), 0);
    EXPECT_TRUE(explosion->killed);
}

TEST_F(ExplosionTest, ConeOfSixtyFourTowardsTheRight) {
    auto explosion = make(100, 200, 250, 1280, 64, 64, false);
    ASSERT_EQ(explosion->count, 250);
    int dead = 0;
    for (int i = 0; i < 250; ++i) {
        const Spark& spark = explosion->sparks[i];
        if (spark.life == 0) {
            ++dead;
            continue;
        }
        // Steps 32..95 all point rightwards; the slowest is the cone's edge.
        EXPECT_GT(spark.vx, 0.0) << i;
        EXPECT_LT(spark.life, 1280);
        // directionOf reads a step below one pixel sideways as straight up or down.
        if (spark.vx < 1.0) continue;
        const int d = directionOf(spark.vx, spark.vy);
        EXPECT_GE(d, 32);
        EXPECT_LE(d, 96);
    }
    // About one spark in 64 sits on the edge.
    EXPECT_GE(dead, 1);
    EXPECT_LE(dead, 12);
}

TEST_F(ExplosionTest, FullCircleKeepsEverySpeed) {
    auto explosion = make(100, 200, 250, 512, 0, 256, true);
    int left = 0, right = 0;
    for (int i = 0; i < 250; ++i) {
        const Spark& spark = explosion->sparks[i];
        EXPECT_GE(spark.life, 1);
        EXPECT_LE(spark.life, 511);
        EXPECT_NEAR(std::hypot(spark.vx, spark.vy), spark.life, 1e-6);
        (spark.vx < 0 ? left : right) += 1;
    }
    EXPECT_GT(left, 60);
    EXPECT_GT(right, 60);
}

TEST_F(ExplosionTest, SparkOfLife1279FadesThroughFourBands) {
    auto explosion = make(100, 200, 1, 2, 0, 256, false);
    Spark& spark = explosion->sparks[0];
    spark.life = 1279;
    spark.vx = 1279.0;  // straight right: direction 64, picture 8 of each band
    spark.vy = 0.0;
    int frames = 0;
    while (spark.life > 0) {
        const int life = spark.life;
        const int band = life >= 769 ? 0 : life >= 513 ? 32 : life >= 257 ? 64 : 96;
        pass(*explosion);
        ++frames;
        EXPECT_EQ(backPixel(int(spark.x), int(spark.y)), pixelOf(frameColour(8 + band)))
            << "life " << life;
    }
    EXPECT_EQ(frames, 40);  // ceil(1279 / 32)
    EXPECT_FALSE(explosion->killed);
    pass(*explosion);
    EXPECT_TRUE(explosion->killed);
}

TEST_F(ExplosionTest, GravityAndTheSeaBounce) {
    auto explosion = make(100, 300, 1, 2, 0, 256, true);
    Spark& spark = explosion->sparks[0];
    spark.life = 1000;
    spark.vx = 0.0;
    spark.vy = 256.0;
    pass(*explosion);
    EXPECT_DOUBLE_EQ(spark.y, 301.0);
    EXPECT_DOUBLE_EQ(spark.vy, 272.0);
    spark.y = 369.5;
    pass(*explosion);
    // 370.5 is in the sea: up again with half of 288, cut to a whole number.
    EXPECT_DOUBLE_EQ(spark.y, 369.5 + 272.0 / 256.0);
    EXPECT_DOUBLE_EQ(spark.vy, -144.0);
    spark.vy = 301.0;
    spark.y = 369.0;
    pass(*explosion);
    EXPECT_DOUBLE_EQ(spark.vy, -158.0);  // trunc(317 * 0.5) = 158
}

TEST_F(ExplosionTest, EmptyOrOversizedExplosions) {
    auto empty = make(0, 0, 0, 256, 0, 256, false);
    pass(*empty);
    EXPECT_TRUE(empty->killed);
    // The spark array has 250 places; more are never written.
    auto oversized = make(0, 0, 400, 256, 0, 256, false);
    EXPECT_EQ(oversized->count, Explosion::kMaxSparks);
}

TEST_F(ExplosionTest, TinyMaxSpeedsGiveSpeedOne) {
    auto one = make(0, 0, 5, 1, 0, 256, false);
    auto zero = make(0, 0, 5, 0, 0, 256, false);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(one->sparks[i].life, 1);
        EXPECT_EQ(zero->sparks[i].life, 1);
    }
}

TEST_F(ExplosionTest, RunsInTheMatchListAndLeavesIt) {
    startMatch(2);
    match->explosions->children.append(
        new Explosion(engine, 700, 100, Burst{20, 64, 0, 256, false}));
    step();
    EXPECT_NE(match->explosions->children.head, nullptr);
    step(3);  // lives below 64 last two passes, the third finds none alive
    EXPECT_EQ(match->explosions->children.head, nullptr);
}

}  // namespace
