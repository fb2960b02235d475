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

const std::vector<uint8_t> kMashed = {
    DIK_UP,    DIK_DOWN,     DIK_LEFT,     DIK_RIGHT,    DIK_W,      DIK_A,
    DIK_S,     DIK_D,        0x2D /* X */, DIK_NUMPAD2,  DIK_NUMPAD4, DIK_NUMPAD6,
    DIK_NUMPAD8, DIK_RETURN, DIK_LSHIFT,   DIK_SPACE};

// Presses keys at random, and steers the quit screen: after an Escape in
// the menu it lets go of everything until the quit screen polls for a key
// (reads 1 ms apart, where frames are 38 ms and waits 50 ms apart), then
// answers with Escape (go back) or another key (quit) and checks that the
// program did what was asked.
class Masher {
public:
    Masher(uint32_t seed, const platform::HeadlessSystem& sys) : rng_(seed), sys_(sys) {}

    void onRead(uint8_t held[256]) {
        const uint32_t now = sys_.nowMs();
        const bool polling = now - lastReadMs_ == 1;
        lastReadMs_ = now;
        TForm1* f = Form1;
        const bool menuUp = up(f, f ? f->menu : nullptr);
        const bool matchUp = up(f, f ? f->match : nullptr);
        const bool endUp = up(f, f ? f->endScreen : nullptr);
        if (matchUp && !matchWasUp_) ++matches;
        if (endUp && !endWasUp_) ++endScreens;
        matchWasUp_ = matchUp;
        endWasUp_ = endUp;

        switch (phase_) {
            case Phase::kFree:
                mash(menuUp && !matchUp);
                break;
            case Phase::kLetGo:
                if (polling) {
                    ++quitScreens;
                    answerKey_ = answerBack_ ? DIK_ESCAPE : kMashed[rng_() % kMashed.size()];
                    next(Phase::kAnswer);
                } else if (++reads_ == kLetGoReads) {
                    // The Escape went elsewhere (a start-up screen also
                    // runs with the menu listed); no quit screen opened.
                    next(Phase::kFree);
                }
                break;
            case Phase::kAnswer:
                if (++reads_ == 3) next(Phase::kCheck);
                break;
            case Phase::kCheck:
                if (++reads_ == 2) {
                    const bool quit = f != nullptr && f->quitRequested;
                    if (answerBack_ && !quit) ++goBacks;
                    if (!answerBack_ && quit) ++quits;
                    if (answerBack_ == quit) ++wrongAnswers;
                    next(Phase::kFree);
                }
                break;
        }
        for (size_t i = 0; i < 256; ++i) held[i] = 0;
        if (phase_ == Phase::kFree) {
            for (uint8_t key : kMashed) held[key] = down_[key] ? 0x80 : 0;
            if (escapeTap_) held[DIK_ESCAPE] = 0x80;
        } else if (phase_ == Phase::kAnswer) {
            held[answerKey_] = 0x80;
        }
        escapeTap_ = false;
    }

    bool finishing = false;
    int matches = 0, endScreens = 0, quitScreens = 0, goBacks = 0, quits = 0, wrongAnswers = 0;

private:
    enum class Phase { kFree, kLetGo, kAnswer, kCheck };
    static constexpr int kLetGoReads = 200;

    static bool up(TForm1* f, ZefBase* screen) {
        return f != nullptr && f->engine != nullptr && screen != nullptr &&
               longrun::inList(f->engine->children, screen);
    }

    void next(Phase phase) {
        phase_ = phase;
        reads_ = 0;
    }

    void mash(bool inMenu) {
        if (inMenu && (finishing || rng_() % 400 == 0)) {
            // Escape alone, newly pressed: the menu opens the quit screen.
            for (bool& d : down_) d = false;
            escapeTap_ = true;
            answerBack_ = !finishing && rng_() % 3 != 0;
            next(Phase::kLetGo);
            return;
        }
        // Escape ends a match or an end screen and skips start-up screens;
        // rare, so that matches run a while.
        if (rng_() % (finishing ? 10 : 1500) == 0) escapeTap_ = true;
        for (uint8_t key : kMashed) {
            if (rng_() % 12 == 0) down_[key] = !down_[key];
        }
    }

    std::mt19937 rng_;
    const platform::HeadlessSystem& sys_;
    uint32_t lastReadMs_ = 0;
    bool down_[256] = {};
    bool escapeTap_ = false;
    Phase phase_ = Phase::kFree;
    int reads_ = 0;
    bool answerBack_ = true;
    uint8_t answerKey_ = DIK_ESCAPE;
    bool matchWasUp_ = false;
    bool endWasUp_ = false;
};

class LongRunKeyMasher : public longrun::InBuildDir {};

// Off until its quit-screen steering agrees with the game on every run; run it
// with --gtest_also_run_disabled_tests.
TEST_F(LongRunKeyMasher, DISABLED_HundredThousandFramesOfRandomKeys) {
    platform::HeadlessSystem sys;
    sys.setKeepPixels(false);
    Masher masher(7, sys);
    size_t presents = 0;
    sys.onPresent = [&](const platform::HeadlessSystem::Frame&) {
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
    std::printf("[ figures  ] %zu frames in %d runs: %d matches, %d end screens, "
                "%d quit screens (%d go back, %d quit), %d key reads\n",
                presents, runs, masher.matches, masher.endScreens, masher.quitScreens,
                masher.goBacks, masher.quits, sys.keyReads());
}

}  // namespace
