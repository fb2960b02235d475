#include "services/zef_sound.h"

#include "engine/zef_dx.h"
#include "platform/result_codes.h"
#include "platform/system.h"

ZefSound::ZefSound(ZefDX* owner) : ZefBase(owner) {
    owner->log("Creating ZefSound object...");
    platform::AudioDevice& audio = owner->window->audio();
    // The device mixes to 16-bit stereo at 22050 Hz (or its own rate), the
    // primary format the game was made for.
    int32_t result = audio.isOpen() ? platform::kOk : audio.open();
    if (result != platform::kOk) {
        owner->showError("ZefSound::ZefSound()",
                         "Cannot create DirectSound object. Continuing without sound.", result);
        return;
    }
    device = &audio;
}

ZefSound::~ZefSound() = default;
