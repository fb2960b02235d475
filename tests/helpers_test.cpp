#include <gtest/gtest.h>

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

TEST(RandomTest, FirstDrawsFollowTheMultiplier) {
    Random random;
    random.seed(0);
    // state 1 -> upper half 0; state 0x15A00004E36 -> upper half 0x15A.
    EXPECT_EQ(random.next(), 0);
    EXPECT_EQ(random.next(), 346);
    EXPECT_EQ(random.next(), 13854878);
    // The upper half 0xE0AC1588 loses its sign bit.
    EXPECT_EQ(random.next(), 0x60AC1588);
}

TEST(RandomTest, SeededFromCalendarSecondsInTheLowHalf) {
    Random random;
    random.seed(12345);
    EXPECT_EQ(random.next(), 4271370);
    EXPECT_EQ(random.next(), 1382990846);
    EXPECT_EQ(random.next(), 2021515706);
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
    EXPECT_STREQ(describeResultCode(int32_t(0x800401F0u)), describeResultCode(int32_t(0x88760259u)));
    EXPECT_STREQ(describeResultCode(int32_t(0x88760209u)),
                 "The specified stream contains invalid data.");
    EXPECT_STREQ(describeResultCode(int32_t(0x887602A8u)), describeResultCode(int32_t(0x8876024Du)));
    EXPECT_STREQ(describeResultCode(int32_t(0x887800A0u)),
                 "Another application has a higher priority level, preventing this call from "
                 "succeeding");
    EXPECT_STREQ(describeResultCode(int32_t(0x88780078u)), "No sound driver is available for use.");
}

}  // namespace
