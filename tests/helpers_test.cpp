#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "engine/directions.h"
#include "engine/error_codes.h"
#include "engine/random.h"

namespace {

TEST(DirectionTest, TablesUseTheGamesOwnConstants) {
    buildDirectionTables();
    EXPECT_EQ(dirX[64], 1.0);
    EXPECT_NEAR(dirY[0], -1.0, 1e-7);
    // Not pi/2: step 0 leans a little to the right.
    EXPECT_NEAR(dirX[0], 0.0003, 0.00005);
    EXPECT_NEAR(dirY[128], 1.0, 1e-5);
    EXPECT_NEAR(dirX[192], -1.0, 1e-5);
}

TEST(DirectionTest, DirectionOfExamples) {
    EXPECT_EQ(directionOf(1, 0), 64);
    EXPECT_EQ(directionOf(-1, 0), 192);
    EXPECT_EQ(directionOf(1, -1), 31);
    EXPECT_EQ(directionOf(1, 1), 96);
    EXPECT_EQ(directionOf(-1, -1), 225);
    EXPECT_EQ(directionOf(0.5, 3), 128);
    EXPECT_EQ(directionOf(0.5, -3), 0);
    EXPECT_EQ(directionOf(-0.9, 0), 128);
}

TEST(DirectionTest, DirectionOfStaysInRange) {
    for (int dx = -50; dx <= 50; dx += 7)
        for (int dy = -50; dy <= 50; dy += 5) {
            int32_t d = directionOf(dx, dy);
            EXPECT_GE(d, 0);
            EXPECT_LE(d, 255);
        }
}

// The game's definition, every step in extended precision (the constants
// are the doubles nearest 1.5705, 3.141 and 6.282).
int32_t extendedDirection(double dx, double dy) {
    const long double quarter = 1.5705, half = 3.141, turn = 6.282;
    if (int64_t(dx) == 0) return dy >= 0 ? 128 : 0;
    long double t = std::atan((long double)(-dy / dx));
    if (dx < 0) t += half;
    int32_t step = int32_t((quarter - t) * 256.0L * (1.0L / turn));
    if (step < 0)
        step += 256;
    else if (step > 255)
        step -= 256;
    return step;
}

TEST(DirectionTest, DirectionOfAgreesWithTheExtendedFormula) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> scale(-8, 12);
    for (int i = 0; i < 100000; ++i) {
        const double dx = std::ldexp(unit(rng), scale(rng)), dy = std::ldexp(unit(rng), scale(rng));
        ASSERT_EQ(directionOf(dx, dy), extendedDirection(dx, dy)) << dx << ", " << dy;
    }
    // Right at the edge between two steps, and a few units of the last
    // place either side of it, on both sides of the circle.
    for (int k = -256; k <= 512; ++k) {
        for (double side : {1.0, -1.0}) {
            long double t = (long double)1.5705 - (long double)k * (long double)6.282 / 256.0L;
            if (side < 0) t -= (long double)3.141;
            if (std::fabs(t) >= 1.5707963L) continue;
            double dy = -double(std::tan(t)) * side;
            for (int nudge = 0; nudge < 4; ++nudge) {
                for (double dx : {side, side * 3.0, side * 1000.0}) {
                    ASSERT_EQ(directionOf(dx, dy * std::fabs(dx)),
                              extendedDirection(dx, dy * std::fabs(dx)))
                        << k << " " << dx << " " << dy;
                }
                dy = std::nextafter(dy, nudge % 2 ? 1e9 : -1e9);
            }
        }
    }
}

// The first draws follow the multiplier (seed 0: state 1 gives the upper
// half 0, state 0x15A00004E36 gives 0x15A, and the upper half 0xE0AC1588
// loses its sign bit); calendar seconds seed the low half.
TEST(RandomTest, FirstDrawsOfASeed) {
    const std::pair<uint64_t, std::vector<int32_t>> cases[] = {
        {0, {0, 346, 13854878, 0x60AC1588}},
        {12345, {4271370, 1382990846, 2021515706}},
    };
    for (const auto& [seed, draws] : cases) {
        Random random;
        random.seed(seed);
        for (int32_t want : draws) EXPECT_EQ(random.next(), want) << seed;
    }
}

TEST(ErrorTextTest, CodeMinusOneShowsNoCode) {
    EXPECT_EQ(formatErrorText("Surface::Surface()", "Cannot create compatible DC", -1),
              "Function Surface::Surface(): 'Cannot create compatible DC'");
}

TEST(ErrorTextTest, KnownCodesShowTheirDescription) {
    EXPECT_EQ(formatErrorText("ZefDX::setDisplayMode()", "Cannot set video mode 640x480x16",
                              int32_t(0x88760078u)),
              "Function ZefDX::setDisplayMode(): 'Cannot set video mode 640x480x16', error code: "
              "0x88760078 (DirectDraw does not support the requested mode.)");
    EXPECT_EQ(formatErrorText("A::b()", "m", 0),
              "Function A::b(): 'm', error code: 0x00000000 (The request completed successfully.)");
}

TEST(ErrorTextTest, UnknownCodesAndLeadingZeros) {
    EXPECT_EQ(formatErrorText("A::b()", "m", int32_t(0x80000001u)),
              "Function A::b(): 'm', error code: 0x80000001 (No futher information)");
    EXPECT_EQ(formatErrorText("A::b()", "m", 0x1234),
              "Function A::b(): 'm', error code: 0x00001234 (No futher information)");
}

TEST(ErrorTextTest, TableHasEveryRowAndTheSharedDescriptions) {
    EXPECT_EQ(resultCodeCount(), 123);
    EXPECT_STREQ(describeResultCode(int32_t(0x800401F0u)),
                 describeResultCode(int32_t(0x88760259u)));
    EXPECT_STREQ(describeResultCode(int32_t(0x88760209u)),
                 "The specified stream contains invalid data.");
    EXPECT_STREQ(describeResultCode(int32_t(0x887602A8u)),
                 describeResultCode(int32_t(0x8876024Du)));
    EXPECT_STREQ(describeResultCode(int32_t(0x887800A0u)),
                 "Another application has a higher priority level, preventing this call from "
                 "succeeding");
    EXPECT_STREQ(describeResultCode(int32_t(0x88780078u)), "No sound driver is available for use.");
}

}  // namespace
