#pragma once
#include "asset_bundle.h"

// The studio intro "gfx/interaction.zan" and the chime it plays.
namespace intro {

void addIntro(AssetBundle& bundle);

}  // namespace intro
