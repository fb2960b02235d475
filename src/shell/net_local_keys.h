#pragma once
// This machine's keyboard as network play sends it: the game pads' presses
// join it as the keys they stand for, so that they reach both machines, and
// F10 first lets the partner know this machine is going.
#include <cstdint>
#include <functional>

#include "platform/system.h"
#include "shell/pad_feed.h"

class NetLocalKeys : public platform::InputDevice {
  public:
    explicit NetLocalKeys(platform::InputDevice& inner) : inner_(inner), pads_(inner) {}

    void readKeys(uint8_t state[256]) override;
    void readMouse(platform::MouseState& state) override { inner_.readMouse(state); }
    void setMousePos(int x, int y) override { inner_.setMousePos(x, y); }
    void readPads(platform::PadState pads[2]) override { inner_.readPads(pads); }
    bool screenshotRequested() override { return inner_.screenshotRequested(); }

    // True while the keys go to the partner: the pads press keys here then.
    std::function<bool()> sending;
    // F10 is down: the program is about to end.
    std::function<void()> onEmergencyExit;

  private:
    platform::InputDevice& inner_;
    PadFeed pads_;
};
