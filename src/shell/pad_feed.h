#pragma once
#include <cstdint>

#include "services/zef_input.h"

namespace platform {
class InputDevice;
}

// Lets the two game pads press keys at every input update: their side's
// controls in the frames of a match (a side the computer plays ignores its
// pad), the menu keys in the menu and the blocking screens.
class PadFeed : public KeyFeed {
  public:
    explicit PadFeed(platform::InputDevice& device) : device_(device) {}
    void press(uint8_t keys[256], uint8_t oldKeys[256], bool frameRead) override;
    // The controls (padControls) of either pad at the last read.
    uint16_t held() const { return uint16_t(previous_[0] | previous_[1]); }

  private:
    platform::InputDevice& device_;
    uint16_t previous_[2] = {0, 0};
};
