// Pausing a match: P or Pause (or a lost focus with two humans playing)
// freezes it between two frames under "paused", Escape ends it, and keys
// around the pause behave as if there had been none. That nothing moves or
// sounds while paused, and that the match goes on exactly, the golden runs
// with a pause put in show.
#include <algorithm>
#include <vector>

#include "engine/sprite_font.h"
#include "match_screen_fixture.h"
#include "services/sound.h"
#include "support/menu_start.h"

namespace {

class PauseTest : public screen_test::ScreenFixture {
  protected:
    void startMatch(bool rightComputer = false) {
        kit::pressStart(menu(), system(), false, rightComputer);
        step(5);
        ASSERT_TRUE(playing());
    }
    bool playing() { return form().match != nullptr && listed(form().match); }
    // Holds a key for one read, `after` reads from the next one.
    void tapAt(int code, int after) {
        system().holdKey(code, system().keyReads() + after, system().keyReads() + after + 1);
    }
    int bombs() { return world_test::listSize(form().match->bombs->children); }
    // Presents of the next step() call, paused pictures included.
    size_t presentsOfAFrame() {
        const size_t before = system().presentCount();
        step();
        return system().presentCount() - before;
    }
};

TEST_F(PauseTest, PausedShowsTheLastPictureWithTheWordCentred) {
    startMatch();
    system().setKeepPixels(true);
    system().clearFrames();
    tap(DIK_P);
    tapAt(DIK_PAUSE, 4);  // the Pause key resumes as well
    step();
    const std::vector<platform::HeadlessSystem::Frame>& frames = system().frames();
    // The frame with P, a paused picture for each read up to Pause, the
    // last one without the word.
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_TRUE(frames[4].pixels == frames[0].pixels);

    const std::vector<uint16_t>& a = frames[0].pixels;
    const std::vector<uint16_t>& b = frames[1].pixels;
    int left = 640, right = -1, top = 480, bottom = -1;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (a[size_t(y) * 640 + x] == b[size_t(y) * 640 + x]) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    ASSERT_GE(right, left) << "nothing drawn over the paused picture";
    const SpriteFont& font = *form().font;
    EXPECT_LE(std::abs((left + right + 1) - 640), 2);
    EXPECT_LE(right - left + 1, font.textWidth("paused"));
    EXPECT_GE(top, 240 - font.averageHeight);
    EXPECT_LE(bottom, 240 + font.averageHeight);
    EXPECT_TRUE(form().engineLoop[0]->playing()) << "the plane's loop did not play on";
}

TEST_F(PauseTest, EscapeWhilePausedEndsTheMatch) {
    startMatch();
    tap(DIK_P);
    tapAt(DIK_ESCAPE, 5);
    step();
    EXPECT_FALSE(playing());
    EXPECT_TRUE(listed(form().endScreen));
    EXPECT_FALSE(form().engineLoop[0]->playing());
}

TEST_F(PauseTest, NoPauseFromATitleCard) {
    startMatch();
    form().match->requestDayPartEnd(0, 0);
    step(34);
    // The next frame runs the transition: its own read, 20 reads of the
    // 1000 ms wait, then the title card's. P goes down during the card and
    // stays down into the next frame.
    system().holdKey(DIK_P, system().keyReads() + 30, system().keyReads() + 100);
    const size_t presents = system().presentCount();
    const int32_t frames = engine->frameCounter;
    step(3);
    EXPECT_EQ(form().match->dayPart, 1);
    // Eight curtain pictures, the title card, then the three frames.
    EXPECT_EQ(system().presentCount() - presents, 8u + 1u + 3u);
    EXPECT_EQ(engine->frameCounter, frames + 3);
}

TEST_F(PauseTest, KeysPressedDuringThePauseAreHeldButNoHits) {
    startMatch();
    const int bombsBefore = bombs();
    const int heading = form().match->vehicles[0]->heading;
    tap(DIK_P);
    system().holdKey(DIK_LSHIFT, system().keyReads() + 3, system().keyReads() + 12);
    system().holdKey(DIK_D, system().keyReads() + 3, system().keyReads() + 12);
    tapAt(DIK_P, 6);
    step(4);
    EXPECT_EQ(bombs(), bombsBefore) << "a fire key held across the pause fired";
    EXPECT_EQ(form().match->vehicles[0]->heading, heading + 24) << "a held turn did not turn";
    step(5);
    tap(DIK_LSHIFT);
    step();
    EXPECT_EQ(bombs(), bombsBefore + 1);
}

TEST_F(PauseTest, KeysTheGamePressedLastUntilTheNextUpdateAsWithoutPause) {
    startMatch();
    const int bombsBefore = bombs();
    // As the computer opponent does in the frame with P: fire written into
    // the current keys; the real key going down at the next update is then
    // no hit.
    bool written = false;
    system().onPresent = [&](const platform::HeadlessSystem::Frame&) {
        if (!written) engine->input->keys[DIK_LSHIFT] = 255;
        written = true;
    };
    tap(DIK_P);
    tapAt(DIK_P, 3);
    system().holdKey(DIK_LSHIFT, system().keyReads() + 4, system().keyReads() + 6);
    step(3);
    system().onPresent = nullptr;
    EXPECT_EQ(bombs(), bombsBefore);
}

TEST_F(PauseTest, LostFocusPausesAMatchOfTwoHumansOnce) {
    startMatch();
    system().setFocus(false);
    tapAt(DIK_P, 4);
    EXPECT_EQ(presentsOfAFrame(), 1u + 4u);
    // Resumed without the focus: no second pause until it comes back and goes again.
    EXPECT_EQ(presentsOfAFrame(), 1u);
    system().setFocus(true);
    step();
    system().setFocus(false);
    tapAt(DIK_P, 2);
    EXPECT_EQ(presentsOfAFrame(), 1u + 2u);
}

TEST_F(PauseTest, LostFocusLetsTheComputerPlayOn) {
    startMatch(true);
    system().setFocus(false);
    EXPECT_EQ(presentsOfAFrame(), 1u);
    EXPECT_EQ(presentsOfAFrame(), 1u);
}

}  // namespace
