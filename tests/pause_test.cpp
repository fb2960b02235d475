// Pausing a match: P or Pause (or a lost focus with two humans playing)
// freezes it between two frames under "paused", Escape ends it, and the
// match goes on afterwards as if nothing had happened.
#include <set>
#include <string>
#include <vector>

#include "engine/sprite_font.h"
#include "match_screen_fixture.h"
#include "services/sound.h"
#include "services/tile_layer.h"

namespace {

class PauseTest : public screen_test::ScreenFixture {
  protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        system().setKeepPixels(true);
        system().onPresent = [this](const platform::HeadlessSystem::Frame&) { seen.push_back(now()); };
        system().clearFrames();  // kept frames and `seen` from here on, side by side
    }
    void TearDown() override {
        system().onPresent = nullptr;
        ScreenFixture::TearDown();
    }

    // As the main loop runs a frame: the engine's step, then a pause it asked for.
    void frame(int frames = 1) {
        for (int i = 0; i < frames; ++i) {
            engine->back->fill(nullptr, form().skyColour);
            engine->process();
            if (form().match != nullptr) form().match->pauseIfAsked();
        }
    }
    void startMatch(bool leftComputer = false, bool rightComputer = false) {
        menu().isComputer[0] = leftComputer;
        menu().isComputer[1] = rightComputer;
        menu().selectedRow = 4;
        tap(DIK_RETURN);
        frame(2);
        ASSERT_TRUE(playing());
    }
    bool playing() { return form().match != nullptr && listed(form().match); }
    // Holds a key for one read, `after` reads from the next one.
    void tapAt(int code, int after) {
        system().holdKey(code, system().keyReads() + after, system().keyReads() + after + 1);
    }

    // Everything that moves, counts down or draws random numbers.
    struct State {
        double x0, y0, x1, y1;
        int heading0, heading1, banner, frameCounter, countdown, layerSteps;
        uint64_t rng;
        bool operator==(const State& o) const {
            return x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1 &&
                   heading0 == o.heading0 && heading1 == o.heading1 && banner == o.banner &&
                   frameCounter == o.frameCounter && countdown == o.countdown &&
                   layerSteps == o.layerSteps && rng == o.rng;
        }
    };
    State now() {
        State s{};
        GameController* m = form().match;
        if (m == nullptr || m->vehicles[0] == nullptr) return s;
        s = {m->vehicles[0]->posX, m->vehicles[0]->posY, m->vehicles[1]->posX,
             m->vehicles[1]->posY, m->vehicles[0]->heading, m->vehicles[1]->heading,
             form().messenger->framesLeft, engine->frameCounter, m->endCountdown,
             form().skyLayer->stepCounter + form().seaLayer->stepCounter, form().random.state()};
        return s;
    }
    bool anySoundPlaying() {
        for (ZefBase* m = form().soundOwner->children.head; m != nullptr; m = m->next) {
            if (static_cast<Sound*>(m)->playing()) return true;
        }
        return false;
    }

    std::vector<State> seen;  // the state at every present
};

TEST_F(PauseTest, PFreezesTheMatchUnderPausedUntilPressedAgain) {
    startMatch();
    hold(DIK_W, 1000);  // the left plane speeds up all along
    frame(5);
    const size_t before = system().frames().size();
    tap(DIK_P);
    tapAt(DIK_PAUSE, 8);  // the Pause key resumes as well
    frame();
    const std::vector<platform::HeadlessSystem::Frame>& frames = system().frames();
    // The frame with P, then a paused picture for each of the eight reads
    // up to Pause (the last one without the word).
    ASSERT_EQ(frames.size(), before + 9);
    // Each present comes before its frame is counted.
    State frozen = seen[before];
    frozen.frameCounter += 1;
    for (size_t i = before + 1; i < frames.size(); ++i) {
        EXPECT_TRUE(seen[i] == frozen) << "something moved in paused picture " << i - before;
    }
    EXPECT_TRUE(frames.back().pixels == frames[before].pixels);

    // "paused" in the game's alphabet, centred over the frozen picture.
    const std::vector<uint16_t>& a = frames[before].pixels;
    const std::vector<uint16_t>& b = frames[before + 1].pixels;
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

    frame(2);
    EXPECT_NE(now().x0, frozen.x0) << "the match did not go on";
    EXPECT_EQ(now().frameCounter, frozen.frameCounter + 2);
}

TEST_F(PauseTest, SoundsHoldWhilePausedAndPlayOnAfterwards) {
    startMatch();
    frame(3);
    ASSERT_TRUE(form().engineLoop[0]->playing());
    tap(DIK_P);
    tapAt(DIK_P, 4);
    std::vector<bool> loud;
    system().onPresent = [&](const platform::HeadlessSystem::Frame&) {
        bool heard = anySoundPlaying();
        for (int16_t sample : system().mixAudio(838)) heard |= sample != 0;
        loud.push_back(heard);
    };
    frame();
    // The frame with P, then four silent paused pictures.
    ASSERT_EQ(loud.size(), 5u);
    EXPECT_TRUE(loud[0]);
    for (size_t i = 1; i < loud.size(); ++i) EXPECT_FALSE(loud[i]) << "paused picture " << i;
    EXPECT_TRUE(form().engineLoop[0]->playing());
    EXPECT_TRUE(form().engineLoop[0]->looping());
}

TEST_F(PauseTest, EscapeWhilePausedEndsTheMatch) {
    startMatch();
    frame(3);
    tap(DIK_P);
    tapAt(DIK_ESCAPE, 5);
    frame();
    EXPECT_FALSE(playing());
    EXPECT_TRUE(listed(form().endScreen));
    EXPECT_FALSE(form().engineLoop[0]->playing());
}

TEST_F(PauseTest, NoPauseFromATitleCard) {
    startMatch();
    frame(3);
    form().match->requestDayPartEnd(0, 0);
    frame(34);
    // The next frame runs the transition: its own read, 20 reads of the
    // 1000 ms wait, then the title card's. P goes down during the card and
    // stays down into the next frame.
    system().holdKey(DIK_P, system().keyReads() + 30, system().keyReads() + 100);
    const size_t presents = system().presentCount();
    const int32_t frames = engine->frameCounter;
    frame(3);
    EXPECT_EQ(form().match->dayPart, 1);
    // Eight curtain pictures, the title card, then the three frames.
    EXPECT_EQ(system().presentCount() - presents, 8u + 1u + 3u);
    EXPECT_EQ(engine->frameCounter, frames + 3);
}

TEST_F(PauseTest, KeysHeldAcrossThePauseAreNoHitsAfterwards) {
    startMatch();
    frame(3);
    auto bombs = [this] {
        int n = 0;
        for (ZefBase* m = form().match->bombs->children.head; m != nullptr; m = m->next) ++n;
        return n;
    };
    const int bombsBefore = bombs();
    const int heading = form().match->vehicles[0]->heading;
    // Fire and turn go down during the pause and are held after it.
    tap(DIK_P);
    system().holdKey(DIK_LSHIFT, system().keyReads() + 3, system().keyReads() + 12);
    system().holdKey(DIK_D, system().keyReads() + 3, system().keyReads() + 12);
    tapAt(DIK_P, 6);
    frame();
    frame(3);
    EXPECT_EQ(bombs(), bombsBefore) << "a fire key held across the pause fired";
    EXPECT_EQ(form().match->vehicles[0]->heading, heading + 24) << "a held turn did not turn";
    // A new press after the pause fires.
    frame(5);
    tap(DIK_LSHIFT);
    frame();
    EXPECT_EQ(bombs(), bombsBefore + 1);
}

TEST_F(PauseTest, KeysTheGamePressedLastUntilTheNextUpdateAsWithoutPause) {
    startMatch();
    frame(3);
    auto bombs = [this] {
        int n = 0;
        for (ZefBase* m = form().match->bombs->children.head; m != nullptr; m = m->next) ++n;
        return n;
    };
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
    frame(3);
    EXPECT_EQ(bombs(), bombsBefore);
}

TEST_F(PauseTest, LostFocusPausesOnlyWhenTwoHumansPlay) {
    startMatch();
    frame(2);
    system().setFocus(false);
    const size_t presents = system().presentCount();
    tapAt(DIK_P, 4);
    frame();
    EXPECT_EQ(system().presentCount() - presents, 1u + 4u);
    // Resumed without the focus: no second pause until it comes back and goes again.
    frame(3);
    EXPECT_EQ(system().presentCount() - presents, 1u + 4u + 3u);
    system().setFocus(true);
    frame();
    system().setFocus(false);
    tapAt(DIK_P, 2);
    const size_t again = system().presentCount();
    frame();
    EXPECT_EQ(system().presentCount() - again, 1u + 2u);
}

TEST_F(PauseTest, LostFocusLetsTheComputerPlayOn) {
    startMatch(false, true);
    frame(2);
    system().setFocus(false);
    const size_t presents = system().presentCount();
    frame(4);
    EXPECT_EQ(system().presentCount() - presents, 4u);
    // P still pauses it.
    tap(DIK_P);
    tapAt(DIK_P, 2);
    frame();
    EXPECT_EQ(system().presentCount() - presents, 4u + 1u + 2u);
}

}  // namespace
