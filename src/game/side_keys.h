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

const SideKeys& sideKeys(int32_t side);

// Held tests on the current input state.
bool controlHeld(const ZefInput& input, const uint8_t (&keys)[2]);
