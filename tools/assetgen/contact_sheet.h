#pragma once
#include <string>

#include "asset_bundle.h"

// Writes one PNG per picture group into `dir`: the pictures as the game will see them
// (transparent pixels on a checkerboard), numbered, small ones enlarged.
bool writeContactSheets(const AssetBundle& bundle, const std::string& dir, std::string& error);
