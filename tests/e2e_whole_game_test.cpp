// The whole program on the headless backend, from activation to the closing
// pictures, with keys pressed by a script that watches the game's state.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/messenger.h"
#include "engine/zef_dx.h"
#include "game/end_screen.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "golden_support/golden_run.h"
#include "platform/headless.h"
#include "services/zef_input.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "support/world_archive.h"

namespace {

bool listed(const ZefBase* object) {
    return Form1 != nullptr && Form1->engine != nullptr && object != nullptr &&
           Form1->engine->children.contains(object);
}

// The smallest animation: a 16 by 16 area, the engine's period, then the end.
std::string emptyAnimation() {
    std::string out;
    for (uint32_t v : {16u, 16u, 0u, 0u}) kit::putLE(out, v, 4);
    return out;
}

class WholeGameTest : public ::testing::Test {
  protected:
    // Guard against a script that never finishes: F10 ends the program.
    static constexpr int kMaxReads = 2000000;
    static constexpr int32_t kMaxFrames = 100000;

    struct Action {
        std::function<bool()> ready;
        int key;
    };

    void SetUp() override {
        world_test::FileList files = world_test::worldFiles();
        for (const char* name :
             {"gfx/presents.bmp", "gfx/zefDX.bmp", "gfx/Mirefen.bmp", "gfx/Corvale.bmp",
              "gfx/dolby.bmp", "gfx/logo.bmp", "gfx/copyright.bmp", "gfx/kv2-teaser.bmp"}) {
            files.emplace_back(name, world_test::solidBmp(200, 100, 0x40C040));
        }
        files.emplace_back("gfx/interaction.zan", emptyAnimation());
        data_ = std::make_unique<world_test::ArchiveDir>(files);
        ASSERT_TRUE(data_->ready());
        system.setKeepPixels(false);
        system.setCalendarSeconds(1234567);
        system.onKeyRead = [this](int read, uint8_t held[256]) { drive(read, held); };
    }

    bool inMainLoop() const {
        return Form1 != nullptr && Form1->engine != nullptr && Form1->engine->frameCounter > 0;
    }
    bool inMenu() const { return inMainLoop() && listed(Form1->menu); }
    void inMenuTap(int key) {
        script.push_back({[this] { return inMenu(); }, key});
    }
    void anytimeTap(int key) {
        script.push_back({[] { return true; }, key});
    }

    void drive(int read, uint8_t held[256]) {
        if (read > kMaxReads || (Form1 != nullptr && Form1->engine != nullptr &&
                                 Form1->engine->frameCounter > kMaxFrames)) {
            std::fprintf(stderr, "script stuck at action %zu\n", next);
            held[DIK_F10] = 0x80;
            return;
        }
        if (!endScreenSeen && Form1 != nullptr && Form1->endScreen != nullptr &&
            listed(Form1->endScreen)) {
            endScreenSeen = true;
        }
        if (!inMainLoop()) {
            // Escape every fourth read skips the start-up pictures and leaves
            // the logo; the three quiet reads after it let the menu start clean.
            if (read % 4 == 0) held[DIK_ESCAPE] = 0x80;
            return;
        }
        if (gap > 0) {
            --gap;
            return;
        }
        if (next < script.size() && script[next].ready()) {
            held[script[next].key] = 0x80;
            ++next;
            gap = 2;
        }
    }

    // Selects computer against computer, one war day, one palm, and starts.
    void scriptComputerMatch(int warDaysLeftTaps) {
        inMenuTap(DIK_DOWN);
        inMenuTap(DIK_RIGHT);
        inMenuTap(DIK_DOWN);
        for (int i = 0; i < warDaysLeftTaps; ++i) inMenuTap(DIK_LEFT);
        inMenuTap(DIK_DOWN);
        inMenuTap(DIK_LEFT);
        inMenuTap(DIK_LEFT);
        inMenuTap(DIK_DOWN);
        inMenuTap(DIK_RETURN);
    }
    void scriptLeaveEndScreen() {
        script.push_back({[] {
                              return Form1->endScreen != nullptr && listed(Form1->endScreen) &&
                                     Form1->endScreen->frames > 20;
                          },
                          DIK_Q});
    }
    // Escape, Escape (back), Escape, Q (quit), then a key for each closing picture.
    void scriptQuit() {
        inMenuTap(DIK_ESCAPE);
        anytimeTap(DIK_ESCAPE);
        inMenuTap(DIK_ESCAPE);
        anytimeTap(DIK_Q);
        anytimeTap(DIK_Q);
        anytimeTap(DIK_Q);
    }

    platform::HeadlessSystem system;
    std::vector<Action> script;
    size_t next = 0;
    int gap = 0;
    bool endScreenSeen = false;

  private:
    std::unique_ptr<world_test::ArchiveDir> data_;
};

TEST_F(WholeGameTest, EscapeDuringTheFirstTitleCardDoesNotEndTheMatch) {
    scriptComputerMatch(0);
    // Inside the match's constructor: the first title card's wait.
    script.push_back(
        {[] { return !listed(Form1->menu) && !listed(Form1->match) && !listed(Form1->endScreen); },
         DIK_ESCAPE});
    bool stillPlaying = false;
    script.push_back({[&] {
                          if (!listed(Form1->match) || Form1->engine->frameCounter < 30) {
                              return false;
                          }
                          stillPlaying = Form1->match->day == 1;
                          return true;
                      },
                      DIK_ESCAPE});
    scriptLeaveEndScreen();
    scriptQuit();
    // The golden runs' whole program, on the build's data, with the script
    // as its driver.
    golden::Recording recording;
    recording.kind = "program";
    recording.seed = 1234567;
    golden::RunHooks hooks;
    hooks.driver = [this](int read, uint8_t held[256]) {
        drive(read, held);
        return false;
    };
    EXPECT_EQ(golden::runRecording(recording, hooks), 0);
    EXPECT_EQ(next, script.size());
    EXPECT_TRUE(stillPlaying);
    EXPECT_TRUE(endScreenSeen);
}

// A close request (the window manager's close, Alt+F4, SIGTERM) winds the
// program down from wherever it is: the wait or screen in progress returns at
// its next poll, the main loop ends, the closing pictures are skipped.
class CloseRequestTest : public WholeGameTest {
  protected:
    // Asks to close at the first key read where `when` holds; no key is
    // pressed from then on.
    void closeWhen(std::function<bool()> when) {
        system.onKeyRead = [this, when](int read, uint8_t held[256]) {
            if (!requested && when()) {
                system.requestClose();
                requested = true;
                presentsAtRequest = system.presentCount();
                sleptAtRequest = system.totalSleptMs();
            }
            if (!requested) drive(read, held);
        };
    }
    // Mixes long enough for every sound played once to end: what still
    // plays after it loops.
    int loopsPlaying() {
        system.mixAudio(size_t(system.outputRate()) * 5);
        return system.playingVoices();
    }

    bool requested = false;
    size_t presentsAtRequest = 0;
    uint64_t sleptAtRequest = 0;
};

TEST_F(CloseRequestTest, InAStartUpScreenEndsAtOnceWithNoMorePictures) {
    // The music starts after the intro: a splash picture's wait is running.
    closeWhen([this] { return !inMainLoop() && system.playingVoices() > 0; });
    EXPECT_EQ(runApplication(system), 0);
    ASSERT_TRUE(requested);
    EXPECT_EQ(system.presentCount(), presentsAtRequest);
    EXPECT_EQ(system.totalSleptMs(), sleptAtRequest);
    // The main window's destruction freed the sounds and gave the display back.
    EXPECT_EQ(system.playingVoices(), 0);
    EXPECT_FALSE(system.window().isOpen());
}

TEST_F(CloseRequestTest, InTheFirstTitleCardsWaitEndsAfterTheFrameInProgress) {
    scriptComputerMatch(4);
    closeWhen([this] {
        return inMainLoop() && !listed(Form1->menu) && !listed(Form1->match) &&
               !listed(Form1->endScreen);
    });
    EXPECT_EQ(runApplication(system), 0);
    ASSERT_TRUE(requested);
    // The wait returns at its next poll; the frame that opened the match is
    // finished (one present, one pacing sleep) and the loop ends there.
    EXPECT_LE(system.presentCount() - presentsAtRequest, 1u);
    EXPECT_LE(system.totalSleptMs() - sleptAtRequest, 38u);
    EXPECT_FALSE(system.window().isOpen());
}

TEST_F(CloseRequestTest, InAMatchStopsThePlaneLoopsAndSkipsTheClosingPictures) {
    scriptComputerMatch(4);
    int matchReads = 0;
    int loopsAtRequest = 0;
    closeWhen([&] {
        if (!inMainLoop() || !listed(Form1->match) || ++matchReads < 100) return false;
        loopsAtRequest = loopsPlaying();
        return true;
    });
    // Step by step, to look at the sounds between the loop and the teardown.
    TForm1 form(&system);
    form.FormCreate();
    form.FormActivate();
    form.FormPaint();
    ASSERT_TRUE(requested);
    EXPECT_TRUE(form.terminated);
    EXPECT_GE(loopsAtRequest, 1);
    EXPECT_EQ(loopsPlaying(), 0);
    EXPECT_LE(system.presentCount() - presentsAtRequest, 1u);
    form.FormClose();
    form.FormDestroy();
    EXPECT_FALSE(system.window().isOpen());
}

}  // namespace
