// The game pads as pure units: which side a pad plays, and which keys its
// buttons and stick press in a match frame and in the menu.
#include "game/pad_keys.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/pad_slots.h"
#include "services/dik_codes.h"

namespace {

using Pad = platform::PadState;

Pad pad(uint16_t buttons, int16_t x = 0, int16_t y = 0) {
    Pad p;
    p.connected = true;
    p.buttons = buttons;
    p.leftX = x;
    p.leftY = y;
    return p;
}

struct Pressed {
    uint8_t keys[256] = {};
    uint8_t oldKeys[256] = {};
    std::set<int> down() const {
        std::set<int> out;
        for (int code = 0; code < 256; ++code) {
            if (keys[code] & 0x80) out.insert(code);
        }
        return out;
    }
    std::set<int> hits() const {
        std::set<int> out;
        for (int code = 0; code < 256; ++code) {
            if ((keys[code] & 0x80) && !(oldKeys[code] & 0x80)) out.insert(code);
        }
        return out;
    }
};

Pressed press(const Pad& p, int side, PadMode mode, uint16_t previous = 0) {
    Pressed out;
    pressPadKeys(padControls(p), previous, side, mode, out.keys, out.oldKeys);
    return out;
}

TEST(PadKeys, PlayPressesTheSidesFirstKeyOfEachControl) {
    const uint16_t all = Pad::kDpadUp | Pad::kDpadDown | Pad::kDpadLeft | Pad::kDpadRight |
                         Pad::kSouth | Pad::kStart | Pad::kBack;
    EXPECT_EQ(press(pad(all), 0, PadMode::Play).down(),
              (std::set<int>{DIK_W, DIK_S, DIK_A, DIK_D, DIK_LSHIFT, DIK_P, DIK_ESCAPE}));
    EXPECT_EQ(press(pad(all), 1, PadMode::Play).down(),
              (std::set<int>{DIK_NUMPAD8, DIK_NUMPAD2, DIK_NUMPAD4, DIK_NUMPAD6, DIK_SPACE, DIK_P,
                             DIK_ESCAPE}));
    // The right shoulder fires too; B has no part in a match.
    EXPECT_EQ(press(pad(Pad::kRightShoulder), 1, PadMode::Play).down(), std::set<int>{DIK_SPACE});
    EXPECT_TRUE(press(pad(Pad::kEast), 0, PadMode::Play).down().empty());
}

TEST(PadKeys, MenuPressesArrowsReturnEscapeAndSpaceForEitherSide) {
    for (int side = 0; side < 2; ++side) {
        EXPECT_EQ(press(pad(Pad::kDpadUp | Pad::kDpadLeft), side, PadMode::Menu).down(),
                  (std::set<int>{DIK_UP, DIK_LEFT}));
        EXPECT_EQ(press(pad(Pad::kDpadDown | Pad::kDpadRight), side, PadMode::Menu).down(),
                  (std::set<int>{DIK_DOWN, DIK_RIGHT}));
        EXPECT_EQ(press(pad(Pad::kSouth), side, PadMode::Menu).down(), std::set<int>{DIK_RETURN});
        EXPECT_EQ(press(pad(Pad::kEast), side, PadMode::Menu).down(), std::set<int>{DIK_ESCAPE});
        EXPECT_EQ(press(pad(Pad::kBack), side, PadMode::Menu).down(), std::set<int>{DIK_ESCAPE});
        EXPECT_EQ(press(pad(Pad::kStart), side, PadMode::Menu).down(), std::set<int>{DIK_SPACE});
    }
}

TEST(PadKeys, StickCountsBeyondAQuarterOfItsTravel) {
    EXPECT_TRUE(press(pad(0, -8191, 8191), 0, PadMode::Play).down().empty());
    EXPECT_EQ(press(pad(0, -8192, 0), 0, PadMode::Play).down(), std::set<int>{DIK_A});
    EXPECT_EQ(press(pad(0, 8192, 0), 0, PadMode::Play).down(), std::set<int>{DIK_D});
    // Up is -y; a diagonal presses both.
    EXPECT_EQ(press(pad(0, 32767, -32768), 1, PadMode::Play).down(),
              (std::set<int>{DIK_NUMPAD6, DIK_NUMPAD8}));
    EXPECT_EQ(press(pad(0, 0, 20000), 1, PadMode::Menu).down(), std::set<int>{DIK_DOWN});
    // Stick and D-pad the same way press the key once.
    EXPECT_EQ(press(pad(Pad::kDpadLeft, -30000, 0), 0, PadMode::Play).down(), std::set<int>{DIK_A});
}

TEST(PadKeys, UnpluggedPadPressesNothing) {
    Pad p = pad(Pad::kSouth | Pad::kStart, -32768, 32767);
    p.connected = false;
    EXPECT_EQ(padControls(p), 0);
}

TEST(PadKeys, PressesAddToTheKeyboardAndHitOnlyWhenTheButtonGoesDown) {
    Pressed keyboard;
    keyboard.keys[DIK_W] = 0x80;     // the keyboard holds up too
    keyboard.keys[DIK_LEFT] = 0x80;  // and a key of the other side
    keyboard.oldKeys[DIK_LSHIFT] = 0x80;
    pressPadKeys(padControls(pad(Pad::kDpadUp | Pad::kSouth)), 0, 0, PadMode::Play, keyboard.keys,
                 keyboard.oldKeys);
    EXPECT_EQ(keyboard.down(), (std::set<int>{DIK_W, DIK_LEFT, DIK_LSHIFT}));
    // Fire was down at the read before (a keyboard press): no new hit.
    EXPECT_EQ(keyboard.hits(), (std::set<int>{DIK_W, DIK_LEFT}));

    // A held A that read as Return in the menu is no fire hit in the match
    // frame that follows; a new press is.
    EXPECT_TRUE(press(pad(Pad::kSouth), 0, PadMode::Play, Pad::kSouth).hits().empty());
    EXPECT_EQ(press(pad(Pad::kSouth | Pad::kStart), 0, PadMode::Play, Pad::kSouth).hits(),
              std::set<int>{DIK_P});
    // A stick held past the dead zone counts as the held D-pad direction.
    EXPECT_TRUE(press(pad(0, 0, -30000), 0, PadMode::Play, Pad::kDpadUp).hits().empty());
}

TEST(PadSlots, FirstPadPlaysLeftSecondRightAndUnplugFreesTheSide) {
    platform::PadSlots slots;
    slots.update({});
    EXPECT_EQ(slots.pad(0), platform::PadSlots::kNone);
    slots.update({7});
    EXPECT_EQ(slots.pad(0), 7);
    EXPECT_EQ(slots.pad(1), platform::PadSlots::kNone);
    slots.update({7, 9});
    EXPECT_EQ(slots.pad(1), 9);

    // The left pad goes: the right one stays right, the left goes back to the keyboard.
    slots.update({9});
    EXPECT_EQ(slots.pad(0), platform::PadSlots::kNone);
    EXPECT_EQ(slots.pad(1), 9);
    // Plugged in again (a new id), it takes the free left side.
    slots.update({9, 12});
    EXPECT_EQ(slots.pad(0), 12);
    EXPECT_EQ(slots.pad(1), 9);

    // A third pad waits and takes the first side that frees.
    slots.update({9, 12, 15});
    EXPECT_EQ(slots.pad(0), 12);
    EXPECT_EQ(slots.pad(1), 9);
    slots.update({12, 15});
    EXPECT_EQ(slots.pad(0), 12);
    EXPECT_EQ(slots.pad(1), 15);
    slots.update({});
    EXPECT_EQ(slots.pad(0), platform::PadSlots::kNone);
    EXPECT_EQ(slots.pad(1), platform::PadSlots::kNone);
}

}  // namespace
