#pragma once
#include <cstdint>

class ZefInput;

// The keys of one side's controls; a control is held when any of its keys is
// down. The first key of each is the one the computer opponent presses.
struct SideKeys {
    uint8_t up[2];
    uint8_t down[2];
    uint8_t left[2];  // turn anticlockwise
    uint8_t right[2];
    uint8_t fire;
};

// The five controls of a side, in the order the controls screen lists them.
enum class SideAction { Up, Down, Left, Right, Fire };
constexpr int kSideActionCount = 5;
// "up", "down", "left", "right", "fire": the settings file's names.
const char* sideActionName(SideAction action);
// The two keys of `action` (fire repeats its one key).
void actionKeys(const SideKeys& keys, SideAction action, uint8_t out[2]);
// Binds `action` to `key` alone, or to `key` and `second` (fire takes one).
void bindAction(SideKeys& keys, SideAction action, uint8_t key);
void bindAction(SideKeys& keys, SideAction action, uint8_t key, uint8_t second);

// The keys in force, the player's own once the settings are read.
const SideKeys& sideKeys(int32_t side);
const SideKeys& defaultSideKeys(int32_t side);
void setSideKeys(int32_t side, const SideKeys& keys);

// Held tests on the current input state.
bool controlHeld(const ZefInput& input, const uint8_t (&keys)[2]);
