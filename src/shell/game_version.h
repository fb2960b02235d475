#pragma once
#include <string>

// The game's version, as --version prints it and recordings store it.
const std::string& gameVersion();
