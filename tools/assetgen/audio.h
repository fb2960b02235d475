#pragma once
#include "asset_bundle.h"
#include "synth.h"

// The game's sounds and its tune.
namespace audio {

void addSounds(AssetBundle& bundle);

// The looping tune: a whole number of bars, notes that ring past the end wrap to the start.
synth::Track sunshineDance();

}  // namespace audio
