#pragma once
#include <cstdint>

namespace platform {

// F12 belongs to the window, not to the game: it is cut out of every key
// state before the game sees it, and each press asks for one screenshot.
class ScreenshotKey {
  public:
    static constexpr uint8_t kCode = 0x58;  // F12

    void take(uint8_t state[256]) {
        const bool down = (state[kCode] & 0x80) != 0;
        if (down && !down_) requested_ = true;
        down_ = down;
        state[kCode] = 0;
    }
    bool requested() {
        const bool was = requested_;
        requested_ = false;
        return was;
    }

  private:
    bool down_ = false;
    bool requested_ = false;
};

}  // namespace platform
