#include "platform/window_keys.h"

namespace platform {

namespace {

constexpr uint8_t kReturn = 0x1C;
constexpr uint8_t kLeftAlt = 0x38;
constexpr uint8_t kF4 = 0x3E;
constexpr uint8_t kM = 0x32;
constexpr uint8_t kF12 = 0x58;
constexpr uint8_t kNumpadEnter = 0x9C;
constexpr uint8_t kRightAlt = 0xB8;

}  // namespace

WindowKeys::Action WindowKeys::keyDown(uint8_t code, bool alt, bool repeat) {
    if (code == kF12) {
        taken_[code] = true;
        return repeat ? Action::None : Action::Screenshot;
    }
    if (code == kM) {
        taken_[code] = true;
        return repeat ? Action::None : Action::ToggleMute;
    }
    if (!alt) return Action::None;
    Action action = Action::None;
    if (code == kReturn || code == kNumpadEnter) {
        action = Action::ToggleFullscreen;
    } else if (code == kF4) {
        action = Action::Close;
    } else {
        return Action::None;
    }
    taken_[code] = true;
    return repeat ? Action::None : action;
}

void WindowKeys::keyUp(uint8_t code) {
    taken_[code] = false;
}

void WindowKeys::mask(uint8_t state[256]) const {
    state[kLeftAlt] = 0;
    state[kRightAlt] = 0;
    for (int code = 0; code < 256; ++code) {
        if (taken_[code]) state[code] = 0;
    }
}

}  // namespace platform
