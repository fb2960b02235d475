// The set-up menu: rows, values, clamps, clicks, the arrows, starting a match
// and the way to the quit screen.
#include <algorithm>
#include <vector>

#include "match_screen_fixture.h"
#include "services/sound.h"

namespace {

class MenuTest : public screen_test::ScreenFixture {
  protected:
    // Drains what is playing, then reports whether the next frame clicked.
    bool clicksOn(int code) {
        step();  // releases the last key
        system().mixAudio(4096);
        if (code >= 0) tap(code);
        step();
        const std::vector<int16_t> mixed = system().mixAudio(256);
        return std::any_of(mixed.begin(), mixed.end(), [](int16_t s) { return s != 0; });
    }
    // A press in one frame and the release in the next, so the next press is new.
    void tapFrame(int code) {
        tap(code);
        step(2);
    }
    void selectRow(int row) {
        for (int i = 0; i < 5 && menu().selectedRow < row; ++i) tapFrame(DIK_DOWN);
        ASSERT_EQ(menu().selectedRow, row);
    }
};

TEST_F(MenuTest, RowsClickButStayWithinTheirEnds) {
    EXPECT_TRUE(clicksOn(DIK_UP));
    EXPECT_EQ(menu().selectedRow, 0);
    for (int i = 0; i < 6; ++i) tapFrame(DIK_S);
    EXPECT_EQ(menu().selectedRow, 4);
    EXPECT_TRUE(clicksOn(DIK_NUMPAD2));
    EXPECT_EQ(menu().selectedRow, 4);
    EXPECT_FALSE(clicksOn(-1));
}

TEST_F(MenuTest, UpAndDownInOneFrameClickTwiceAndCancel) {
    tapFrame(DIK_DOWN);
    hold(DIK_W, 1);
    hold(DIK_DOWN, 1);
    step();
    EXPECT_EQ(menu().selectedRow, 1);
}

TEST_F(MenuTest, HeldKeyDoesNotRepeat) {
    hold(DIK_DOWN, 10);
    step(10);
    EXPECT_EQ(menu().selectedRow, 1);
}

TEST_F(MenuTest, ValuesAreClampedToTheirRanges) {
    tapFrame(DIK_D);  // left player already the computer
    EXPECT_EQ(menu().isComputer[0], 1);
    tapFrame(DIK_A);
    tapFrame(DIK_A);
    EXPECT_EQ(menu().isComputer[0], 0);

    selectRow(2);
    for (int i = 0; i < 7; ++i) tapFrame(DIK_LEFT);
    EXPECT_EQ(menu().warDays, 1);
    EXPECT_TRUE(clicksOn(DIK_NUMPAD4));
    EXPECT_EQ(menu().warDays, 1);
    for (int i = 0; i < 30; ++i) tapFrame(DIK_RIGHT);
    EXPECT_EQ(menu().warDays, 31);  // no upper limit

    selectRow(3);
    for (int i = 0; i < 12; ++i) tapFrame(DIK_NUMPAD6);
    EXPECT_EQ(menu().palmTrees, 10);
    EXPECT_TRUE(clicksOn(DIK_RIGHT));
    EXPECT_EQ(menu().palmTrees, 10);
    for (int i = 0; i < 12; ++i) tapFrame(DIK_A);
    EXPECT_EQ(menu().palmTrees, 1);
}

TEST_F(MenuTest, LeftAndRightOnTheStartRowChangeNothing) {
    selectRow(4);
    EXPECT_TRUE(clicksOn(DIK_LEFT));
    EXPECT_TRUE(clicksOn(DIK_RIGHT));
    EXPECT_EQ(menu().isComputer[0], 1);
    EXPECT_EQ(menu().isComputer[1], 0);
    EXPECT_EQ(menu().warDays, 5);
    EXPECT_EQ(menu().palmTrees, 3);
}

TEST_F(MenuTest, StartKeysAwayFromTheStartRowDoNothing) {
    for (int code : {DIK_RETURN, DIK_LSHIFT, DIK_SPACE}) {
        EXPECT_FALSE(clicksOn(code));
        EXPECT_TRUE(listed(form().menu));
        EXPECT_EQ(form().match, nullptr);
    }
}

TEST_F(MenuTest, ArrowsHalveTheirWayToTheSelectedRow) {
    step();
    EXPECT_EQ(menu().arrowX, 230);  // (320 + 140) / 2
    EXPECT_EQ(menu().arrowY, 232);  // (0 + 240 + 224) / 2
    tapFrame(DIK_DOWN);
    EXPECT_EQ(menu().arrowX, 162);  // two frames: 185, then 162
    EXPECT_EQ(menu().arrowY, 256);  // (40 + 232 + 224) / 2 = 248, then 256
    step(20);
    EXPECT_EQ(menu().arrowX, 140);
    EXPECT_EQ(menu().arrowY, 263);  // one short of 264: the halving truncates
}

TEST_F(MenuTest, StartOnTheLastRowHandsOverToANewMatchAndBanner) {
    selectRow(4);
    tapFrame(DIK_SPACE);
    ASSERT_NE(form().match, nullptr);
    EXPECT_FALSE(listed(form().menu));
    EXPECT_TRUE(listed(form().match));
    EXPECT_EQ(form().match->next, static_cast<ZefBase*>(form().messenger));
    EXPECT_EQ(form().messenger->text, "morning of day 1");
    uint32_t hz = 0;
    form().click->getFrequency(hz);
    EXPECT_EQ(hz, 22000u);
    step();  // the next menu frame would have reset it; the menu is gone
    form().click->getFrequency(hz);
    EXPECT_EQ(hz, 22000u);
}

TEST_F(MenuTest, NextMatchReplacesTheEarlierOneAndKeepsTheSettings) {
    selectRow(2);
    tapFrame(DIK_RIGHT);  // 6 war days
    selectRow(4);
    tapFrame(DIK_RETURN);
    GameController* first = form().match;
    first->endMatch();
    EXPECT_FALSE(listed(first));
    EXPECT_TRUE(listed(form().endScreen));
    // Back in the menu through the end screen.
    step(21);
    tapFrame(DIK_Q);
    ASSERT_TRUE(listed(form().menu));
    EXPECT_EQ(menu().warDays, 6);
    EXPECT_EQ(menu().selectedRow, 4);
    tapFrame(DIK_RETURN);
    EXPECT_NE(form().match, nullptr);
    EXPECT_TRUE(listed(form().match));
    EXPECT_FALSE(listed(form().menu));
}

// Escape in the menu frame, released while the quit screen waits, then a
// second key: Escape goes back to the menu, any other key quits.
class QuitScreenTest : public MenuTest,
                       public ::testing::WithParamInterface<std::pair<int, bool>> {};

TEST_P(QuitScreenTest, SecondKeyGoesBackOrQuits) {
    const auto [key, quits] = GetParam();
    const int read = system().keyReads();
    system().holdKey(DIK_ESCAPE, read, read + 1);
    system().holdKey(key, read + 3, read + 4);
    step();
    EXPECT_EQ(form().quitRequested, quits);
    if (!quits) {
        EXPECT_TRUE(listed(form().menu));
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, QuitScreenTest,
                         ::testing::Values(std::pair{DIK_ESCAPE, false},
                                           std::pair{DIK_SPACE, true}));

}  // namespace
