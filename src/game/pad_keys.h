#pragma once
#include <cstdint>

#include "game/side_keys.h"
#include "platform/system.h"

// What a game pad presses in the game's key arrays.
enum class PadMode {
    Menu,  // the menu and the blocking screens: arrows, Return, Escape, Space
    Play,  // a frame of a match: its side's own controls
};

// The pad buttons (platform::PadState bits) of each side action in a match,
// the same for both pads. Start (pause) and Back (leave) are fixed.
struct PadButtons {
    uint16_t action[kSideActionCount];
};
const PadButtons& padButtons();
const PadButtons& defaultPadButtons();
void setPadButtons(const PadButtons& buttons);
// The buttons a player may bind, and their names in the settings file
// ("dpad_up", "a", "right_shoulder"...); nullptr for any other bit.
constexpr uint16_t kBindablePadButtons =
    platform::PadState::kDpadUp | platform::PadState::kDpadDown | platform::PadState::kDpadLeft |
    platform::PadState::kDpadRight | platform::PadState::kSouth | platform::PadState::kEast |
    platform::PadState::kRightShoulder;
const char* padButtonName(uint16_t button);

// The pad's buttons (platform::PadState bits), with the left stick folded
// into the D-pad beyond a dead zone of a quarter of its travel.
uint16_t padControls(const platform::PadState& pad);

// Presses (0x80 into `keys`, on top of what is there) the keys of the
// controls held in `controls` for `side` in `mode`. A control also held at
// the read before (`previous`) marks its key in `oldKeys` as well, so it is
// a hit only on the read at which it goes down, even across a change of mode.
void pressPadKeys(uint16_t controls, uint16_t previous, int32_t side, PadMode mode,
                  uint8_t keys[256], uint8_t oldKeys[256]);
