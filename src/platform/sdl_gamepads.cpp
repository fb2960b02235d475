#include <map>
#include <vector>

#include "platform/gamepads.h"
#include "platform/pad_slots.h"
#include "platform/sdl_backend.h"

namespace platform {

namespace {

// Pads are found by polling rather than by the device events, so the window's
// event loop needs to know nothing about them.
class SdlGamepads : public Gamepads {
  public:
    SdlGamepads() : ready_(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0) {}

    ~SdlGamepads() override {
        // After SDL_Quit the controllers are closed and freed already.
        if (!ready_ || SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0) return;
        for (auto& entry : open_) SDL_GameControllerClose(entry.second);
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }

    void read(PadState pads[2]) override {
        pads[0] = pads[1] = PadState();
        if (!ready_) return;
        SDL_GameControllerUpdate();
        refresh();
        for (int side = 0; side < 2; ++side) {
            auto found = open_.find(slots_.pad(side));
            if (found != open_.end()) pads[side] = stateOf(found->second);
        }
    }

  private:
    void refresh() {
        for (auto it = open_.begin(); it != open_.end();) {
            if (SDL_GameControllerGetAttached(it->second)) {
                ++it;
            } else {
                SDL_GameControllerClose(it->second);
                it = open_.erase(it);
            }
        }
        const int count = SDL_NumJoysticks();
        for (int index = 0; index < count; ++index) {
            if (!SDL_IsGameController(index)) continue;
            const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
            if (id < 0 || open_.count(id) != 0) continue;
            if (SDL_GameController* pad = SDL_GameControllerOpen(index)) open_[id] = pad;
        }
        // SDL numbers its devices in the order they were connected.
        std::vector<int32_t> connected;
        for (const auto& entry : open_) connected.push_back(entry.first);
        slots_.update(connected);
    }

    static PadState stateOf(SDL_GameController* pad) {
        static const struct {
            SDL_GameControllerButton button;
            uint16_t bit;
        } kButtons[] = {
            {SDL_CONTROLLER_BUTTON_DPAD_UP, PadState::kDpadUp},
            {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PadState::kDpadDown},
            {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadState::kDpadLeft},
            {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadState::kDpadRight},
            {SDL_CONTROLLER_BUTTON_A, PadState::kSouth},
            {SDL_CONTROLLER_BUTTON_B, PadState::kEast},
            {SDL_CONTROLLER_BUTTON_START, PadState::kStart},
            {SDL_CONTROLLER_BUTTON_BACK, PadState::kBack},
            {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PadState::kRightShoulder},
        };
        PadState state;
        state.connected = true;
        for (const auto& b : kButtons) {
            if (SDL_GameControllerGetButton(pad, b.button)) state.buttons |= b.bit;
        }
        state.leftX = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
        state.leftY = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
        return state;
    }

    bool ready_;
    std::map<SDL_JoystickID, SDL_GameController*> open_;
    PadSlots slots_;
};

}  // namespace

std::unique_ptr<Gamepads> createSdlGamepads() {
    return std::make_unique<SdlGamepads>();
}

}  // namespace platform
