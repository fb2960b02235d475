// The end screen: both scores, the winner, fireworks into the engine's own
// list, and leaving for the menu on a new key press from the 21st frame on.
#include <set>
#include <tuple>

#include "game/explosion.h"
#include "match_screen_fixture.h"

namespace {

class EndScreenTest : public screen_test::ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        engine->children.remove(form().menu);
    }

    EndScreen* show(int32_t left, int32_t right) {
        form().endScreen = new EndScreen(engine, left, right);
        engine->children.append(form().endScreen);
        return form().endScreen;
    }

    // "winner!" is 53 pixels wide with the test font: x = 157 lies in its third letter.
    bool glyphAt(int x, int y) const { return screenPixel(x, y) == pixelOf(0xF8F8F8); }
};

TEST_F(EndScreenTest, WinnerIsWrittenOverTheHigherScoreOnly) {
    show(6, 5);
    step();
    EXPECT_TRUE(glyphAt(157, 225));
    EXPECT_FALSE(glyphAt(477, 225));
    EXPECT_TRUE(glyphAt(160, 275));  // both scores are shown
    EXPECT_TRUE(glyphAt(480, 275));
}

TEST_F(EndScreenTest, RightWinnerOnTheRight) {
    show(2, 7);
    step();
    EXPECT_FALSE(glyphAt(157, 225));
    EXPECT_TRUE(glyphAt(477, 225));
}

TEST_F(EndScreenTest, EqualPointsNameNoWinner) {
    show(3, 3);
    step();
    EXPECT_FALSE(glyphAt(157, 225));
    EXPECT_FALSE(glyphAt(477, 225));
    EXPECT_TRUE(glyphAt(160, 275));
    EXPECT_TRUE(glyphAt(480, 275));
}

TEST_F(EndScreenTest, ScoresAreDrawnUnscrolled) {
    engine->viewX = 900;
    engine->viewY = -300;
    show(0, 0);
    step();
    EXPECT_EQ(engine->viewX, 0);
    EXPECT_EQ(engine->viewY, 0);
}

TEST_F(EndScreenTest, KeysInTheFirstTwentyFramesAreIgnored) {
    EndScreen* screen = show(1, 0);
    for (int frame = 1; frame <= 20; ++frame) {
        if (frame % 2 == 1) tap(DIK_Q);
        step();
    }
    EXPECT_EQ(screen->frames, 20);
    EXPECT_TRUE(listed(screen));
    tap(DIK_Q);
    step();
    EXPECT_FALSE(listed(screen));
    EXPECT_TRUE(listed(form().menu));
    EXPECT_EQ(form().endScreen, screen);  // kept until the next match ends
}

TEST_F(EndScreenTest, KeyHeldSinceBeforeDoesNotCountUntilPressedAgain) {
    holdForever(DIK_SPACE);
    EndScreen* screen = show(1, 0);
    step(30);
    EXPECT_TRUE(listed(screen));
    releaseAll();
    step();
    EXPECT_TRUE(listed(screen));
    tap(DIK_SPACE);
    step();
    EXPECT_FALSE(listed(screen));
}

TEST_F(EndScreenTest, FireworksGoIntoTheEnginesOwnList) {
    show(4, 1);
    // A freed firework's address may be taken by the next one; its spark
    // count and first spark's across speed (constant for a firework's life)
    // tell the two apart.
    std::set<std::tuple<const ZefBase*, int32_t, double>> fireworks;
    for (int frame = 0; frame < 250; ++frame) {
        step();
        for (ZefBase* member = engine->children.head; member != nullptr; member = member->next) {
            if (const auto* firework = dynamic_cast<const Explosion*>(member)) {
                fireworks.insert({firework, firework->count, firework->sparks[0].vx});
                EXPECT_LT(firework->count, 250);
            }
        }
    }
    // About one in 25 frames.
    EXPECT_GE(fireworks.size(), 3u);
    EXPECT_LE(fireworks.size(), 25u);
}

}  // namespace
