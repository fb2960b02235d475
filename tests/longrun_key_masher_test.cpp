// The whole program under a seeded random key-masher for 100,000 presented
// frames: start-up screens, menus, matches for human sides, end screens and
// the quit screen, answered "go back" or "quit" (the program then runs again).
// F10, the emergency exit, is never pressed.
#include <cstdio>
#include <random>
#include <vector>

#include "game/end_screen.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "longrun_harness.h"
#include "services/dik_codes.h"
#include "shell/application.h"

namespace {

constexpr size_t kFrames = 100000;

const std::vector<uint8_t> kMashed = {DIK_UP,       DIK_DOWN,    DIK_LEFT,    DIK_RIGHT,
                                      DIK_W,        DIK_A,       DIK_S,       DIK_D,
                                      0x2D /* X */, DIK_NUMPAD2, DIK_NUMPAD4, DIK_NUMPAD6,
                                      DIK_NUMPAD8,  DIK_RETURN,  DIK_LSHIFT,  DIK_SPACE};

// Presses keys at random, and steers the quit screen. An Escape alone in the
// menu opens it; the quit screen first draws its curtain and its text (nine
// presents with no key read between them), then reads the keyboard until no
// key is down and again until a key is hit. That signature tells the masher
// the quit screen is up: it lets go, answers with Escape (go back) or another
// key (quit), and checks at the next read that the program did what was asked.
class Masher {
  public:
    Masher(uint32_t seed, const platform::HeadlessSystem& sys) : rng_(seed), sys_(sys) {}

    void onPresent() {
        ++presentsSinceTap_;
        ++presentsSinceRead_;
    }

    void onRead(uint8_t held[256]) {
        TForm1* f = Form1;
        const bool menuUp = up(f, f ? f->menu : nullptr);
        const bool matchUp = up(f, f ? f->match : nullptr);
        const bool endUp = up(f, f ? f->endScreen : nullptr);
        if (matchUp && !matchWasUp_) ++matches;
        if (endUp && !endWasUp_) ++endScreens;
        matchWasUp_ = matchUp;
        endWasUp_ = endUp;
        // A read with no present since the last one is a wait polling the
        // keyboard, not a frame of the menu.
        const bool frameRead = presentsSinceRead_ > 0;
        presentsSinceRead_ = 0;
        // Timed waits (start-up screens, title cards) poll every 50 ms; the
        // menu never does, so an Escape there cannot open a quit screen.
        const uint32_t now = sys_.nowMs();
        const bool timedWait = now - lastReadMs_ == 50;
        lastReadMs_ = now;

        for (size_t i = 0; i < 256; ++i) held[i] = 0;
        switch (phase_) {
            case Phase::kTapped:
                if (presentsSinceTap_ == kQuitScreenPresents) {
                    ++quitScreens;
                    phase_ = Phase::kAnswer;  // this read: no key down
                    return;
                }
                // The Escape went elsewhere; no quit screen opened.
                ++missedTaps;
                phase_ = Phase::kFree;
                break;
            case Phase::kAnswer:
                held[answerBack_ ? DIK_ESCAPE : kMashed[rng_() % kMashed.size()]] = 0x80;
                phase_ = Phase::kCheck;
                return;
            case Phase::kCheck: {
                const bool quit = f != nullptr && f->quitRequested;
                if (answerBack_ == quit) ++wrongAnswers;
                ++(quit ? quits : goBacks);
                phase_ = Phase::kFree;
                for (bool& d : down_) d = false;
                return;
            }
            case Phase::kFree:
                break;
        }
        mash(menuUp && !matchUp && !endUp, frameRead, timedWait, held);
    }

    bool finishing = false;
    int matches = 0, endScreens = 0, quitScreens = 0, goBacks = 0, quits = 0;
    int wrongAnswers = 0, missedTaps = 0;

  private:
    enum class Phase { kFree, kTapped, kAnswer, kCheck };
    static constexpr int kQuitScreenPresents = 9;

    static bool up(TForm1* f, ZefBase* screen) {
        return f != nullptr && f->engine != nullptr && screen != nullptr &&
               f->engine->children.contains(screen);
    }

    void mash(bool inMenu, bool frameRead, bool timedWait, uint8_t held[256]) {
        if (inMenu && frameRead && (finishing || rng_() % 150 == 0)) {
            // Escape alone, newly pressed: the menu opens the quit screen.
            for (bool& d : down_) d = false;
            held[DIK_ESCAPE] = 0x80;
            answerBack_ = !finishing && rng_() % 3 != 0;
            presentsSinceTap_ = 0;
            phase_ = Phase::kTapped;
            return;
        }
        // Escape ends a match or an end screen and skips start-up screens;
        // rare, so that matches run a while. The menu (listed from start-up
        // on) gets only the steered Escape above, so every quit screen is
        // answered.
        if ((!inMenu || timedWait) && rng_() % (finishing ? 10 : 1500) == 0) {
            held[DIK_ESCAPE] = 0x80;
        }
        // Waits for no key down: a player lets go now and then.
        if (!frameRead && rng_() % 20 == 0) {
            for (bool& d : down_) d = false;
            held[DIK_ESCAPE] = 0;
            return;
        }
        for (uint8_t key : kMashed) {
            if (rng_() % 12 == 0) down_[key] = !down_[key];
            if (down_[key]) held[key] = 0x80;
        }
    }

    std::mt19937 rng_;
    const platform::HeadlessSystem& sys_;
    uint32_t lastReadMs_ = 0;
    bool down_[256] = {};
    Phase phase_ = Phase::kFree;
    int presentsSinceTap_ = 0;
    int presentsSinceRead_ = 0;
    bool answerBack_ = true;
    bool matchWasUp_ = false;
    bool endWasUp_ = false;
};

class LongRunKeyMasher : public kit::InBuildDir {};

TEST_F(LongRunKeyMasher, HundredThousandFramesOfRandomKeys) {
    platform::HeadlessSystem sys;
    sys.setKeepPixels(false);
    Masher masher(7, sys);
    size_t presents = 0;
    sys.onPresent = [&](const platform::HeadlessSystem::Frame&) {
        masher.onPresent();
        if (++presents >= kFrames) masher.finishing = true;
    };
    sys.onKeyRead = [&](int, uint8_t held[256]) { masher.onRead(held); };

    int runs = 0;
    while (presents < kFrames && runs < 1000) {
        EXPECT_EQ(runApplication(sys), 0);
        ++runs;
        sys.clearFrames();
    }
    EXPECT_GE(presents, kFrames);
    EXPECT_EQ(masher.wrongAnswers, 0) << "a quit screen answer did the other thing";
    EXPECT_GT(masher.matches, 0);
    EXPECT_GT(masher.endScreens, 0);
    EXPECT_GT(masher.goBacks, 0);
    EXPECT_EQ(masher.quits, runs) << "every run ended by answering the quit screen";
    std::printf(
        "[ figures  ] %zu frames in %d runs: %d matches, %d end screens, "
        "%d quit screens (%d go back, %d quit), %d Escapes elsewhere, %d key reads\n",
        presents, runs, masher.matches, masher.endScreens, masher.quitScreens, masher.goBacks,
        masher.quits, masher.missedTaps, sys.keyReads());
}

}  // namespace
