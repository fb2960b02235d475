#pragma once
#include <cstdint>

namespace platform {

// A key that belongs to the window, not to the game: it is cut out of every
// key state before the game sees it, and each press asks for one action.
class OneShotKey {
  public:
    explicit OneShotKey(uint8_t code) : code_(code) {}

    void take(uint8_t state[256]) {
        const bool down = (state[code_] & 0x80) != 0;
        if (down && !down_) requested_ = true;
        down_ = down;
        state[code_] = 0;
    }
    bool requested() {
        const bool was = requested_;
        requested_ = false;
        return was;
    }

  private:
    uint8_t code_;
    bool down_ = false;
    bool requested_ = false;
};

// F12: one screenshot a press.
class ScreenshotKey : public OneShotKey {
  public:
    static constexpr uint8_t kCode = 0x58;
    ScreenshotKey() : OneShotKey(kCode) {}
};

// M: mutes and unmutes the sound at any time.
class MuteKey : public OneShotKey {
  public:
    static constexpr uint8_t kCode = 0x32;
    MuteKey() : OneShotKey(kCode) {}
};

}  // namespace platform
