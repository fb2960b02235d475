#pragma once
#include <cstdint>

#include "game/side_keys.h"

// Why `key` cannot become a key of `side` while `keys` are bound, as the
// controls screen's short note; nullptr when it can. The game's own keys
// (Escape, F10, F12, P, Pause, Alt, Return, M) are never bound, nor a key
// of the other side.
const char* refusedKey(const SideKeys (&keys)[2], int32_t side, uint8_t key);
