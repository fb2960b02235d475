#pragma once
#include <cstdint>

namespace platform {

// The DirectInput-style code of an SDL scan code, 0 when the game has none.
uint8_t dikFromScancode(int scancode);

// Builds the 256-byte key state (0x80 = down) from SDL's keyboard array.
void mapKeyboardState(const uint8_t* sdlState, int sdlCount, uint8_t out[256]);

}  // namespace platform
