// A whole computer-against-computer match of 20 war days with 10 palms on
// each island, in virtual time: every day part must end by the game's own
// rules (a sunk plane or a defender without palms), and the heap must be as
// large at the start of the last war day as at the start of the second.
#include <cstdio>
#include <vector>

#include "game/end_screen.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "longrun_harness.h"
#include "services/dik_codes.h"
#include "support/menu_start.h"

namespace {

constexpr int kWarDays = 20;
constexpr int kPalms = 10;
// Far more than 60 day parts need; reaching it means a day part never ended.
constexpr int kFrameLimit = 400000;
// Explosions and splashes carry over from day to day; what they hold at a
// day's start varies, a leak grows without bound.
constexpr size_t kHeapSlackBytes = 512 * 1024;

class LongRunWarDays : public kit::InBuildDir {
  protected:
    void SetUp() override {
        kit::InBuildDir::SetUp();
        if (HasFatalFailure()) return;
        sys.setKeepPixels(false);
        form = std::make_unique<TForm1>(&sys);
        form->FormCreate();
        form->FormActivate();
        form->random.seed(20240601);
        form->loadAssetSet();
        form->assetsLoaded = true;
        engine = form->engine;
    }
    void TearDown() override {
        form.reset();
        kit::InBuildDir::TearDown();
    }

    // One turn of the main loop.
    void frame() {
        form->runFrame();
        if (sys.frames().size() > 1000) sys.clearFrames();
    }

    platform::HeadlessSystem sys;
    std::unique_ptr<TForm1> form;
    ZefDX* engine = nullptr;
};

TEST_F(LongRunWarDays, TwentyDaysEndByTheRulesWithAFlatHeap) {
    MMenu* menu = form->menu;
    menu->warDays = kWarDays;
    menu->palmTrees = kPalms;
    kit::pressStart(*menu, sys, true, true);
    frame();
    GameController* match = form->match;
    ASSERT_NE(match, nullptr) << "the menu did not start the match";

    std::vector<size_t> heapAtDayStart(kWarDays + 1, 0);
    heapAtDayStart[1] = longrun::liveHeapBytes();
    int parts = 1, sunk = 0, palmsGone = 0;
    int lastDay = match->day, lastPart = match->dayPart, lastCountdown = 0;
    int partFrames = 0, longestPart = 0, frames = 0;
    while (form->endScreen == nullptr && frames < kFrameLimit) {
        frame();
        ++frames;
        ++partFrames;
        // A countdown starts at 35 for a sunk plane and at 50 for lost palms.
        if (lastCountdown == 0 && match->endCountdown == 35) ++sunk;
        if (lastCountdown == 0 && match->endCountdown == 50) ++palmsGone;
        if (match->day != lastDay || match->dayPart != lastPart) {
            ASSERT_EQ(lastCountdown, 1)
                << "day " << lastDay << " part " << lastPart << " ended without its countdown";
            ASSERT_EQ(match->dayPart, (lastPart + 1) % 3);
            ASSERT_EQ(match->day, lastDay + (lastPart == 2 ? 1 : 0));
            if (match->day != lastDay && match->day <= kWarDays) {
                heapAtDayStart[size_t(match->day)] = longrun::liveHeapBytes();
            }
            longestPart = std::max(longestPart, partFrames);
            partFrames = 0;
            if (match->day <= kWarDays) ++parts;
            lastDay = match->day;
            lastPart = match->dayPart;
        }
        lastCountdown = match->endCountdown;
    }
    ASSERT_NE(form->endScreen, nullptr) << "no end screen after " << frames << " frames";
    EXPECT_EQ(parts, 3 * kWarDays);
    EXPECT_EQ(sunk + palmsGone, 3 * kWarDays) << "every day part had one deciding event";
    EXPECT_FALSE(engine->children.contains(match)) << "the match left the engine's list";

    for (int day = 3; day <= kWarDays; ++day) {
        EXPECT_LT(heapAtDayStart[size_t(day)], heapAtDayStart[2] + kHeapSlackBytes)
            << "heap at the start of day " << day << " against day 2";
    }
    std::printf(
        "[ figures  ] %d frames (%.0f s of play), longest day part %d frames; "
        "%d ended by a sunk plane, %d by lost palms; heap at day 2 %zu B, day %d %zu B\n",
        frames, frames * 0.038, longestPart, sunk, palmsGone, heapAtDayStart[2], kWarDays,
        heapAtDayStart[kWarDays]);
}

}  // namespace
