// The window's own arithmetic and keys: where the picture goes at any
// drawable size, how large a window is, and which keys the game never sees.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/picture_layout.h"
#include "platform/window_keys.h"

using platform::layoutPicture;
using platform::PictureLayout;
using platform::Size;
using platform::WindowKeys;

namespace {

constexpr Size kPicture{640, 480};

void expectDest(const PictureLayout& layout, int left, int top, int right, int bottom) {
    EXPECT_EQ(layout.dest.left, left);
    EXPECT_EQ(layout.dest.top, top);
    EXPECT_EQ(layout.dest.right, right);
    EXPECT_EQ(layout.dest.bottom, bottom);
}

TEST(PictureLayoutTest, FillsTheHeightOfAWideScreenWithBarsLeftAndRight) {
    const PictureLayout layout = layoutPicture(kPicture, {1920, 1080}, 0);
    expectDest(layout, 240, 0, 1680, 1080);
    // 2.25 on screen: enlarged twice, then smoothly the rest.
    EXPECT_EQ(layout.factor, 2);
}

TEST(PictureLayoutTest, FillsA4To3ScreenWhole) {
    const PictureLayout layout = layoutPicture(kPicture, {1024, 768}, 0);
    expectDest(layout, 0, 0, 1024, 768);
    EXPECT_EQ(layout.factor, 1);
}

TEST(PictureLayoutTest, FillsTheWidthOfATallWindowWithBarsAboveAndBelow) {
    const PictureLayout layout = layoutPicture(kPicture, {800, 900}, 0);
    expectDest(layout, 0, 150, 800, 750);
    EXPECT_EQ(layout.factor, 1);
}

TEST(PictureLayoutTest, WholeMultiplesAndSmallerWindowsNeedNoSmoothing) {
    EXPECT_EQ(layoutPicture(kPicture, {1280, 960}, 0).factor, 2);
    EXPECT_EQ(layoutPicture(kPicture, {1279, 960}, 0).factor, 1);
    EXPECT_EQ(layoutPicture(kPicture, {640, 480}, 0).factor, 1);
    const PictureLayout small = layoutPicture(kPicture, {321, 240}, 0);
    expectDest(small, 0, 0, 320, 240);
    EXPECT_EQ(small.factor, 1);
}

TEST(PictureLayoutTest, OddSizesKeepTheAspectAndCentreTheRest) {
    // 1366 x 768: 1024 wide, 171 columns of bar on the left, 171 on the right.
    expectDest(layoutPicture(kPicture, {1366, 768}, 0), 171, 0, 1195, 768);
    // One column too narrow for 4:3 at full height: the width decides.
    expectDest(layoutPicture(kPicture, {1023, 768}, 0), 0, 0, 1023, 767);
}

TEST(PictureLayoutTest, TheRenderersTextureLimitCapsTheFactor) {
    // 4K: 4.5 on screen, enlarged four times (2560 x 1920).
    EXPECT_EQ(layoutPicture(kPicture, {3840, 2160}, 0).factor, 4);
    EXPECT_EQ(layoutPicture(kPicture, {3840, 2160}, 2048).factor, 3);
    EXPECT_EQ(layoutPicture(kPicture, {3840, 2160}, 500).factor, 1);
}

TEST(PictureLayoutTest, AnEmptyAreaGivesAnEmptyPlace) {
    for (Size area : {Size{0, 0}, Size{0, 768}, Size{1024, 0}, Size{-5, 10}}) {
        const PictureLayout layout = layoutPicture(kPicture, area, 0);
        EXPECT_EQ(layout.dest.width(), 0);
        EXPECT_EQ(layout.dest.height(), 0);
        EXPECT_EQ(layout.factor, 1);
    }
}

TEST(WindowedSizeTest, LargestWholeMultipleThatFitsAndNeverBelowThePicture) {
    const auto size = [](Size area) {
        const Size s = platform::windowedSize(kPicture, area);
        return std::make_pair(s.width, s.height);
    };
    EXPECT_EQ(size({1024, 768}), std::make_pair(640, 480));
    EXPECT_EQ(size({1920, 1050}), std::make_pair(1280, 960));
    EXPECT_EQ(size({1280, 959}), std::make_pair(640, 480));
    EXPECT_EQ(size({3840, 2100}), std::make_pair(2560, 1920));
    EXPECT_EQ(size({600, 400}), std::make_pair(640, 480));
}

class WindowKeysTest : public ::testing::Test {
  protected:
    static constexpr uint8_t kReturn = 0x1C, kLeftAlt = 0x38, kF4 = 0x3E, kNumpadEnter = 0x9C,
                             kRightAlt = 0xB8, kSpace = 0x39;

    // The key state the game gets while the given keys are down.
    std::vector<uint8_t> masked(std::initializer_list<uint8_t> down) {
        std::vector<uint8_t> state(256, 0);
        for (uint8_t code : down) state[code] = 0x80;
        keys.mask(state.data());
        return state;
    }
    WindowKeys keys;
};

TEST_F(WindowKeysTest, AltEnterSwitchesOnceAndItsEnterNeverReachesTheGame) {
    EXPECT_EQ(keys.keyDown(kReturn, true, false), WindowKeys::Action::ToggleFullscreen);
    EXPECT_EQ(masked({kLeftAlt, kReturn})[kReturn], 0);
    // Auto-repeat while held switches nothing more.
    EXPECT_EQ(keys.keyDown(kReturn, true, true), WindowKeys::Action::None);
    // Alt let go first: the Enter stays the window's until it is let go too.
    EXPECT_EQ(masked({kReturn})[kReturn], 0);
    keys.keyUp(kReturn);
    EXPECT_EQ(masked({kReturn})[kReturn], 0x80);
    EXPECT_EQ(keys.keyDown(kNumpadEnter, true, false), WindowKeys::Action::ToggleFullscreen);
    EXPECT_EQ(masked({kNumpadEnter})[kNumpadEnter], 0);
}

TEST_F(WindowKeysTest, AltF4AsksToClose) {
    EXPECT_EQ(keys.keyDown(kF4, true, false), WindowKeys::Action::Close);
    EXPECT_EQ(masked({kF4})[kF4], 0);
    EXPECT_EQ(keys.keyDown(kF4, false, false), WindowKeys::Action::None);
}

TEST_F(WindowKeysTest, WithoutAltEveryKeyIsTheGames) {
    EXPECT_EQ(keys.keyDown(kReturn, false, false), WindowKeys::Action::None);
    EXPECT_EQ(keys.keyDown(kF4, false, false), WindowKeys::Action::None);
    EXPECT_EQ(keys.keyDown(kSpace, true, false), WindowKeys::Action::None);
    const std::vector<uint8_t> state = masked({kReturn, kF4, kSpace});
    EXPECT_EQ(state[kReturn], 0x80);
    EXPECT_EQ(state[kF4], 0x80);
    EXPECT_EQ(state[kSpace], 0x80);
}

TEST_F(WindowKeysTest, F12AsksForOneScreenshotAndNeverReachesTheGame) {
    constexpr uint8_t kF12 = 0x58;
    EXPECT_EQ(keys.keyDown(kF12, false, false), WindowKeys::Action::Screenshot);
    EXPECT_EQ(masked({kF12, kSpace})[kF12], 0);
    EXPECT_EQ(keys.keyDown(kF12, false, true), WindowKeys::Action::None);
    keys.keyUp(kF12);
    EXPECT_EQ(keys.keyDown(kF12, true, false), WindowKeys::Action::Screenshot);
}

TEST_F(WindowKeysTest, TheAltKeysThemselvesAreNeverPassedOn) {
    const std::vector<uint8_t> state = masked({kLeftAlt, kRightAlt, kSpace});
    EXPECT_EQ(state[kLeftAlt], 0);
    EXPECT_EQ(state[kRightAlt], 0);
    EXPECT_EQ(state[kSpace], 0x80);
}

}  // namespace
