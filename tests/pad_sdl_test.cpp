// The game pads through SDL's real game controller path: virtual joysticks
// (SDL's dummy video driver) plugged into a game running on the headless
// window, clock and sound, driven frame by frame.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "engine/zef_dx.h"
#include "game/end_screen.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "game/plane.h"
#include "game/player.h"
#include "platform/gamepads.h"
#include "platform/headless.h"
#include "services/dik_codes.h"
#include "shell/main_window.h"
#include "support/menu_start.h"
#include "support/world_archive.h"

namespace {

// The headless system with SDL's pads in place of none.
class PadSystem : public platform::System {
  public:
    PadSystem() : input_(*this), pads_(platform::createSdlGamepads()) {}
    platform::Window& window() override { return headless.window(); }
    platform::InputDevice& input() override { return input_; }
    platform::Clock& clock() override { return headless.clock(); }
    platform::AudioDevice& audio() override { return headless.audio(); }

    platform::HeadlessSystem headless;
    // Called before the pads are read, with the number of the key read.
    std::function<void(int read)> beforePadRead;

  private:
    class Input : public platform::InputDevice {
      public:
        explicit Input(PadSystem& o) : o_(o) {}
        void readKeys(uint8_t state[256]) override {
            o_.headless.input().readKeys(state);
            // What the real window's event loop would do with the pads' events.
            SDL_PumpEvents();
            SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        }
        void readMouse(platform::MouseState& state) override {
            o_.headless.input().readMouse(state);
        }
        void setMousePos(int x, int y) override { o_.headless.input().setMousePos(x, y); }
        void readPads(platform::PadState pads[2]) override {
            if (o_.beforePadRead) o_.beforePadRead(o_.headless.keyReads() - 1);
            o_.pads_->read(pads);
        }

      private:
        PadSystem& o_;
    };
    Input input_;
    std::unique_ptr<platform::Gamepads> pads_;
};

class SdlPadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK), 0) << SDL_GetError();
        data_ = std::make_unique<world_test::ArchiveDir>(world_test::worldFiles());
        ASSERT_TRUE(data_->ready());
        system_ = std::make_unique<PadSystem>();
        system_->headless.setKeepPixels(false);
        system_->beforePadRead = [this](int read) { applyScript(read); };
        form_ = std::make_unique<TForm1>(system_.get());
        form_->FormCreate();
        form_->FormActivate();
        form_->loadAssetSet();
        form_->assetsLoaded = true;
        engine = form_->engine;
        menu = form_->menu;
    }

    void TearDown() override {
        form_.reset();
        system_.reset();
        while (!pads_.empty()) unplug(pads_.begin()->first);
        data_.reset();
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK);
    }

    // A new virtual pad; returns the test's name for it.
    int plug() {
        const int index =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
        EXPECT_GE(index, 0) << SDL_GetError();
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        EXPECT_NE(joystick, nullptr) << SDL_GetError();
        pads_[nextPad_] = joystick;
        return nextPad_++;
    }
    void unplug(int pad) {
        SDL_Joystick* joystick = pads_[pad];
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == id) SDL_JoystickDetachVirtual(index);
        }
        SDL_JoystickClose(joystick);
        pads_.erase(pad);
    }

    // Holds a button for the key reads [from, to), counted from the next read.
    void hold(int pad, SDL_GameControllerButton button, int reads = 1, int after = 0) {
        const int from = system_->headless.keyReads() + after;
        script_.push_back({from, pad, button, 1});
        script_.push_back({from + reads, pad, button, 0});
    }
    void tap(int pad, SDL_GameControllerButton button) { hold(pad, button, 1); }
    void stick(int pad, int16_t x, int16_t y) {
        SDL_JoystickSetVirtualAxis(pads_[pad], SDL_CONTROLLER_AXIS_LEFTX, x);
        SDL_JoystickSetVirtualAxis(pads_[pad], SDL_CONTROLLER_AXIS_LEFTY, y);
    }
    void applyScript(int read) {
        for (const Change& c : script_) {
            if (c.read == read && pads_.count(c.pad) != 0) {
                SDL_JoystickSetVirtualButton(pads_[c.pad], c.button, Uint8(c.value));
            }
        }
    }

    void step(int frames = 1) {
        for (int i = 0; i < frames; ++i) form_->runFrame();
    }
    bool listed(const ZefBase* object) const { return engine->children.contains(object); }
    bool playing() const { return form_->match != nullptr && listed(form_->match); }

    // A morning of two humans (or as set), started from the menu by the keyboard.
    void startMatch(bool leftComputer = false, bool rightComputer = false) {
        kit::pressStart(*menu, system_->headless, leftComputer, rightComputer);
        step();
        ASSERT_TRUE(playing());
        step();  // the first frame of play
    }
    int heading(int side) const { return form_->match->vehicles[side]->heading; }
    size_t bombCount() const {
        size_t n = 0;
        for (ZefBase* m = form_->match->bombs->children.head; m != nullptr; m = m->next) ++n;
        return n;
    }

    struct Change {
        int read, pad;
        SDL_GameControllerButton button;
        int value;
    };
    ZefDX* engine = nullptr;
    MMenu* menu = nullptr;
    std::unique_ptr<PadSystem> system_;

  private:
    std::unique_ptr<world_test::ArchiveDir> data_;
    std::unique_ptr<TForm1> form_;
    std::map<int, SDL_Joystick*> pads_;
    std::vector<Change> script_;
    int nextPad_ = 0;

  protected:
    TForm1& form() { return *form_; }
};

TEST_F(SdlPadTest, MenuAndMatchDrivenByOnePadAlone) {
    const int pad = plug();
    step();
    // Down to "war days", one more, down to "start!": D-pad and stick alike.
    tap(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    step(2);
    stick(pad, 0, 20000);
    step();
    stick(pad, 0, 0);
    step();
    ASSERT_EQ(menu->selectedRow, 2);
    tap(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    step(2);
    EXPECT_EQ(menu->warDays, 6);
    tap(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    step(2);
    tap(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT);  // right player: computer
    step(2);
    EXPECT_EQ(menu->isComputer[1], 1);
    tap(pad, SDL_CONTROLLER_BUTTON_DPAD_UP);
    step(2);
    tap(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT);  // left player: human
    step(2);
    EXPECT_EQ(menu->isComputer[0], 0);
    for (int i = 0; i < 4; ++i) {
        tap(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN);
        step(2);
    }
    ASSERT_EQ(menu->selectedRow, 4);

    // A starts; Start cuts the title card short, as Space does.
    const uint64_t before = system_->headless.nowMs();
    tap(pad, SDL_CONTROLLER_BUTTON_A);
    hold(pad, SDL_CONTROLLER_BUTTON_START, 1, 12);
    step();
    ASSERT_TRUE(playing());
    EXPECT_LT(system_->headless.nowMs() - before, 1500u) << "the title card ran its full 2 s";
    step();

    // The pad plays the left plane: turn, fire.
    const int start = heading(0);
    hold(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 3);
    step(3);
    EXPECT_EQ(heading(0), (start + 24) % 256);
    const size_t bombs = bombCount();
    tap(pad, SDL_CONTROLLER_BUTTON_A);
    step();
    EXPECT_EQ(bombCount(), bombs + 1);

    // Back leaves the match for the end screen, as Escape does.
    tap(pad, SDL_CONTROLLER_BUTTON_BACK);
    step();
    EXPECT_FALSE(playing());
    EXPECT_TRUE(listed(form().endScreen));
}

TEST_F(SdlPadTest, TwoPadsPlayLeftAndRight) {
    const int left = plug();
    const int right = plug();
    startMatch();
    const int h0 = heading(0);
    hold(left, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 2);
    step(2);
    EXPECT_EQ(heading(0), h0 - 16);
    stick(right, 0, -30000);  // the right side's cannon: more power
    const double power = form().match->vehicles[1]->speed;
    step(2);
    stick(right, 0, 0);
    EXPECT_GT(form().match->vehicles[1]->speed, power);
    EXPECT_EQ(heading(0), h0 - 16) << "the right pad moved the left plane";
}

TEST_F(SdlPadTest, UnpluggedPadHandsItsSideBackAndANewPadTakesIt) {
    const int first = plug();
    const int second = plug();
    startMatch();
    hold(first, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 1000);
    step(2);
    const int turned = heading(0);
    unplug(first);
    step(3);
    EXPECT_EQ(heading(0), turned) << "an unplugged pad still turns its plane";
    EXPECT_TRUE(playing());

    // The keyboard has the left side back.
    system_->headless.holdKey(DIK_A, system_->headless.keyReads(),
                              system_->headless.keyReads() + 1);
    step();
    EXPECT_EQ(heading(0), turned - 8);

    // The second pad kept the right side; a new pad takes the free left one.
    const int third = plug();
    hold(third, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 2);
    step(2);
    EXPECT_EQ(heading(0), turned - 24);
    const double power = form().match->vehicles[1]->speed;
    hold(second, SDL_CONTROLLER_BUTTON_DPAD_UP, 2);
    step(2);
    EXPECT_GT(form().match->vehicles[1]->speed, power);
}

TEST_F(SdlPadTest, ComputerSideIgnoresItsPad) {
    const int pad = plug();  // plays the left side, which the computer has
    startMatch(true, false);
    tap(pad, SDL_CONTROLLER_BUTTON_BACK);
    step(2);
    EXPECT_TRUE(playing()) << "the computer side's pad left the match";
    const uint64_t presents = system_->headless.presentCount();
    const int32_t frames = engine->frameCounter;
    // Pressed again a little later, so that a wrongly taken pause would end.
    tap(pad, SDL_CONTROLLER_BUTTON_START);
    hold(pad, SDL_CONTROLLER_BUTTON_START, 1, 3);
    step(3);
    EXPECT_EQ(system_->headless.presentCount() - presents, 3u) << "the pad paused the match";
    EXPECT_EQ(engine->frameCounter - frames, 3);

    // The same pad works in the end screen and the menu again.
    system_->headless.holdKey(DIK_ESCAPE, system_->headless.keyReads(),
                              system_->headless.keyReads() + 1);
    step();
    ASSERT_FALSE(playing());
}

TEST_F(SdlPadTest, StartPausesAHumanSidesMatchAndResumesIt) {
    const int pad = plug();
    startMatch();
    const int32_t frames = engine->frameCounter;
    tap(pad, SDL_CONTROLLER_BUTTON_START);
    hold(pad, SDL_CONTROLLER_BUTTON_START, 1, 10);
    const size_t presents = system_->headless.presentCount();
    step();
    // The frame with Start, then ten paused pictures; the match goes on.
    EXPECT_EQ(system_->headless.presentCount() - presents, 11u);
    EXPECT_EQ(engine->frameCounter, frames + 1);
    EXPECT_TRUE(playing());
}

TEST(SdlSystemPads, TheSdlInputReadsAPluggedPad) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    std::unique_ptr<platform::System> system = platform::createSdlSystem();
    platform::PadState pads[2];
    system->input().readPads(pads);
    EXPECT_FALSE(pads[0].connected);
    const int index = SDL_JoystickAttachVirtual(
        SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX, SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    SDL_JoystickSetVirtualButton(joystick, SDL_CONTROLLER_BUTTON_B, 1);
    SDL_JoystickSetVirtualAxis(joystick, SDL_CONTROLLER_AXIS_LEFTX, -12345);
    system->input().readPads(pads);
    EXPECT_TRUE(pads[0].connected);
    EXPECT_FALSE(pads[1].connected);
    EXPECT_EQ(pads[0].buttons, platform::PadState::kEast);
    EXPECT_EQ(pads[0].leftX, -12345);
    SDL_JoystickDetachVirtual(index);
    SDL_JoystickClose(joystick);
    system->input().readPads(pads);
    EXPECT_FALSE(pads[0].connected);
}

}  // namespace
