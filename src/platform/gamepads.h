#pragma once
#include <memory>

#include "platform/system.h"

namespace platform {

// The pads that play the two sides, read once per input update.
class Gamepads {
  public:
    virtual ~Gamepads() = default;
    virtual void read(PadState pads[2]) = 0;
};

// SDL's game controllers, plugged in and out at any time. Without a working
// controller subsystem it reads no pads.
std::unique_ptr<Gamepads> createSdlGamepads();

}  // namespace platform
