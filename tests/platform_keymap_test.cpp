#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/sdl_keymap.h"

namespace {

// SDL scan codes are the USB keyboard usage ids.
constexpr int kUsbA = 4, kUsbW = 26, kUsb1 = 30, kUsbReturn = 40, kUsbEscape = 41, kUsbSpace = 44,
              kUsbF1 = 58, kUsbF10 = 67, kUsbF12 = 69, kUsbRight = 79, kUsbLeft = 80, kUsbDown = 81,
              kUsbUp = 82, kUsbKpDivide = 84, kUsbKpEnter = 88, kUsbKp2 = 90, kUsbKp8 = 96,
              kUsbF13 = 104, kUsbLCtrl = 224, kUsbLShift = 225, kUsbLAlt = 226, kUsbRCtrl = 228,
              kUsbRShift = 229, kUsbRAlt = 230, kUsbInsert = 73, kUsbHome = 74, kUsbPageUp = 75,
              kUsbDelete = 76, kUsbEnd = 77, kUsbPageDown = 78;

class KeymapTest : public ::testing::Test {};

// The game controls, then keys on the keypad and the extended block and
// the modifiers, which must not share codes; 0 is no key.
const std::pair<int, int> kUsbToDik[] = {{kUsbW, 0x11},
                                         {kUsbA, 0x1E},
                                         {kUsbLShift, 0x2A},
                                         {kUsbSpace, 0x39},
                                         {kUsbKp8, 0x48},
                                         {kUsbKp2, 0x50},
                                         {kUsbUp, 0xC8},
                                         {kUsbDown, 0xD0},
                                         {kUsbLeft, 0xCB},
                                         {kUsbRight, 0xCD},
                                         {kUsbEscape, 0x01},
                                         {kUsbF10, 0x44},
                                         {kUsbReturn, 0x1C},
                                         {kUsbKpEnter, 0x9C},
                                         {kUsbKpDivide, 0xB5},
                                         {kUsbLCtrl, 0x1D},
                                         {kUsbRCtrl, 0x9D},
                                         {kUsbLAlt, 0x38},
                                         {kUsbRAlt, 0xB8},
                                         {kUsbRShift, 0x36},
                                         {kUsbInsert, 0xD2},
                                         {kUsbHome, 0xC7},
                                         {kUsbPageUp, 0xC9},
                                         {kUsbDelete, 0xD3},
                                         {kUsbEnd, 0xCF},
                                         {kUsbPageDown, 0xD1},
                                         {kUsbF12, 0x58},
                                         {kUsbF13, 0x64},
                                         {0, 0}};

TEST_F(KeymapTest, EachKeyMapsToItsCode) {
    for (const auto& [usb, dik] : kUsbToDik) EXPECT_EQ(platform::dikFromScancode(usb), dik) << usb;
}

TEST_F(KeymapTest, RowsOfKeysAreComplete) {
    std::set<int> codes;
    for (int i = 0; i < 26; ++i) codes.insert(platform::dikFromScancode(kUsbA + i));
    for (int i = 0; i < 10; ++i) codes.insert(platform::dikFromScancode(kUsb1 + i));
    for (int i = 0; i < 10; ++i) codes.insert(platform::dikFromScancode(kUsbF1 + i));
    EXPECT_EQ(codes.size(), 46u);
    EXPECT_EQ(codes.count(0), 0u);
    EXPECT_EQ(platform::dikFromScancode(kUsb1 + 9), 0x0B);  // the 0 key
    EXPECT_EQ(platform::dikFromScancode(kUsbF1 + 9), 0x44);
}

TEST_F(KeymapTest, StateArrayMarksDownKeysWith0x80) {
    uint8_t sdl[512] = {};
    sdl[kUsbSpace] = 1;
    sdl[kUsbRCtrl] = 1;
    uint8_t out[256];
    std::fill(out, out + 256, 0x11);
    platform::mapKeyboardState(sdl, 512, out);
    int down = 0;
    for (int i = 0; i < 256; ++i) down += out[i] != 0;
    EXPECT_EQ(down, 2);
    EXPECT_EQ(out[0x39], 0x80);
    EXPECT_EQ(out[0x9D], 0x80);
    // A short SDL array is read only as far as it goes.
    platform::mapKeyboardState(sdl, 50, out);
    EXPECT_EQ(out[0x39], 0x80);
    EXPECT_EQ(out[0x9D], 0);
}

}  // namespace
