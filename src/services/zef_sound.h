#pragma once
#include "engine/zef_base.h"

namespace platform {
class AudioDevice;
}

// The sound device. Without one the game goes on silent: every Sound then
// stays empty and ignores play calls.
class ZefSound : public ZefBase {
  public:
    explicit ZefSound(ZefDX* owner);
    ~ZefSound() override;

    // Null when no device could be opened.
    platform::AudioDevice* device = nullptr;
};
