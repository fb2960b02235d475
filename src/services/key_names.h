#pragma once
#include <string>

// The name of a key code's constant ("DIK_ESCAPE" for 0x01), or an empty
// string for the codes no key has.
std::string keyName(int code);
