#include <gtest/gtest.h>

#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "services/zef_input.h"

namespace {

class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dx = std::make_unique<ZefDX>(&sys, true, 640, 480, 16);
        dx->createInput(ZefInput::kKeyboard);
        input = dx->input;
    }

    platform::HeadlessSystem sys;
    std::unique_ptr<ZefDX> dx;
    ZefInput* input = nullptr;
};

TEST_F(InputTest, ConstructionReadsOnceAndLeavesNothingHit) {
    EXPECT_EQ(sys.keyReads(), 1);
    EXPECT_FALSE(input->anyKeyHit());
    for (int code = 0; code < 256; ++code) EXPECT_EQ(input->oldKeys[code], 0) << code;
}

TEST_F(InputTest, HeldKeyIsHitOnceAndDownThroughout) {
    sys.holdKey(DIK_W, 2, 6);  // read 0 was the constructor's
    input->update();           // read 1
    EXPECT_FALSE(input->keyDown(DIK_W));
    input->update();  // read 2: goes down
    EXPECT_TRUE(input->keyDown(DIK_W));
    EXPECT_TRUE(input->keyHit(DIK_W));
    EXPECT_TRUE(input->anyKeyHit());
    for (int read = 3; read < 6; ++read) {
        input->update();
        EXPECT_TRUE(input->keyDown(DIK_W)) << read;
        EXPECT_FALSE(input->keyHit(DIK_W)) << read;
        EXPECT_FALSE(input->anyKeyHit()) << read;
    }
    input->update();  // read 6: released
    EXPECT_FALSE(input->keyDown(DIK_W));
    EXPECT_FALSE(input->keyHit(DIK_W));
}

TEST_F(InputTest, KeyWrittenByTheGameCountsAtOnceAndMovesToPrevious) {
    input->keys[DIK_SPACE] = 255;
    EXPECT_TRUE(input->keyDown(DIK_SPACE));
    EXPECT_TRUE(input->keyHit(DIK_SPACE));
    EXPECT_TRUE(input->anyKeyHit());
    input->update();
    EXPECT_EQ(input->oldKeys[DIK_SPACE], 255);
    EXPECT_FALSE(input->keyDown(DIK_SPACE));
    // Pressed for real right after the game's press: down, but not a new hit.
    sys.holdKey(DIK_SPACE, sys.keyReads());
    input->keys[DIK_SPACE] = 255;
    input->update();
    EXPECT_TRUE(input->keyDown(DIK_SPACE));
    EXPECT_FALSE(input->keyHit(DIK_SPACE));
}

TEST_F(InputTest, AnyKeyHitSeesTheFirstAndLastCodes) {
    input->keys[0] = 0x80;
    EXPECT_TRUE(input->anyKeyHit());
    input->keys[0] = 0;
    input->keys[255] = 0x80;
    EXPECT_TRUE(input->anyKeyHit());
    input->oldKeys[255] = 0x80;
    EXPECT_FALSE(input->anyKeyHit());
}

TEST_F(InputTest, KeyNamesCoverTheNamedCodesOnly) {
    int named = 0;
    for (int code = 0; code < 256; ++code) named += input->keyNames[code].empty() ? 0 : 1;
    EXPECT_EQ(named, 144);
    EXPECT_EQ(input->keyNames[0x01], "DIK_ESCAPE");
    EXPECT_EQ(input->keyNames[0x0B], "DIK_0");
    EXPECT_EQ(input->keyNames[0x38], "DIK_LMENU");
    EXPECT_EQ(input->keyNames[0x44], "DIK_F10");
    EXPECT_EQ(input->keyNames[0x9C], "DIK_NUMPADENTER");
    EXPECT_EQ(input->keyNames[0xB7], "DIK_SYSRQ");
    EXPECT_EQ(input->keyNames[0xED], "DIK_MEDIASELECT");
    EXPECT_EQ(input->keyNames[0x00], "");
    EXPECT_EQ(input->keyNames[0x54], "");
    EXPECT_EQ(input->keyNames[0xFF], "");
}

TEST_F(InputTest, WaitForKeyHitNeedsANewPress) {
    // Held from before the wait: not a hit until released and pressed again.
    int start = sys.keyReads();
    sys.holdKey(DIK_A, 0, start + 3);
    sys.holdKey(DIK_A, start + 5);
    input->update();
    input->waitForKeyHit();
    EXPECT_EQ(sys.keyReads(), start + 6);
    EXPECT_TRUE(input->keyHit(DIK_A));
}

TEST_F(InputTest, WaitForNoKeysReturnsOnceEverythingIsUp) {
    int start = sys.keyReads();
    sys.holdKey(DIK_RETURN, 0, start + 4);
    sys.holdKey(DIK_RSHIFT, 0, start + 2);
    input->waitForNoKeys();
    EXPECT_EQ(sys.keyReads(), start + 5);
    EXPECT_FALSE(input->keyDown(DIK_RETURN));
}

using InputDeathTest = InputTest;

TEST_F(InputDeathTest, F10EndsABlockingWait) {
    sys.holdKey(DIK_F10, sys.keyReads() + 20);
    EXPECT_EXIT(input->waitForKeyHit(), ::testing::ExitedWithCode(255),
                "User requested emergency exit.");
    EXPECT_EXIT(dx->wait(2000), ::testing::ExitedWithCode(255), "User requested emergency exit.");
}

class MouseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dx = std::make_unique<ZefDX>(&sys, true, 640, 480, 16);
        dx->createInput(ZefInput::kKeyboard | ZefInput::kMouse);
        input = dx->input;
    }
    platform::HeadlessSystem sys;
    std::unique_ptr<ZefDX> dx;
    ZefInput* input = nullptr;
};

TEST_F(MouseTest, StartsInTheMiddleWithInclusiveBounds) {
    EXPECT_TRUE(input->mouseEnabled);
    EXPECT_DOUBLE_EQ(input->mouseX, 320.0);
    EXPECT_DOUBLE_EQ(input->mouseY, 240.0);
    EXPECT_DOUBLE_EQ(input->mouseZ, 0.0);
    EXPECT_EQ(input->maxX, 640);
    EXPECT_EQ(input->maxY, 480);
}

TEST_F(MouseTest, MovesByTheAxisDifferenceScaledAndClamped) {
    sys.input().setMousePos(10, -5);
    input->update();
    EXPECT_DOUBLE_EQ(input->mouseX, 330.0);
    EXPECT_DOUBLE_EQ(input->mouseY, 235.0);
    input->mouseScale = 2.0;
    sys.input().setMousePos(1000, -1000);
    input->update();
    EXPECT_DOUBLE_EQ(input->mouseX, 640.0);  // the bound itself is reachable
    EXPECT_DOUBLE_EQ(input->mouseY, 0.0);
}

TEST_F(MouseTest, SetMousePosDoesNotClamp) {
    input->setMousePos(-7, 9999, -3);
    EXPECT_DOUBLE_EQ(input->mouseX, -7.0);
    EXPECT_DOUBLE_EQ(input->mouseY, 9999.0);
    EXPECT_DOUBLE_EQ(input->mouseZ, -3.0);
}

}  // namespace
