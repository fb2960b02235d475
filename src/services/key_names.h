#pragma once
#include <string>

// The name of a key code's constant ("DIK_ESCAPE" for 0x01), or an empty
// string for the codes no key has.
std::string keyName(int code);

// The key's short name for players and the settings file: "w", "numpad8",
// "lshift"; empty for the codes no key has.
std::string keyLabel(int code);
// The code of a short name, in any case; -1 for none.
int keyFromLabel(const std::string& label);
