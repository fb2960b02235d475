#include "game/pad_keys.h"

#include "game/side_keys.h"
#include "services/dik_codes.h"

namespace {

using Pad = platform::PadState;

constexpr int32_t kDeadZone = 32768 / 4;

// The key of one control; 0 when the control does nothing in that mode.
uint8_t keyOf(uint16_t control, int32_t side, PadMode mode) {
    if (mode == PadMode::Menu) {
        switch (control) {
            case Pad::kDpadUp: return DIK_UP;
            case Pad::kDpadDown: return DIK_DOWN;
            case Pad::kDpadLeft: return DIK_LEFT;
            case Pad::kDpadRight: return DIK_RIGHT;
            case Pad::kSouth: return DIK_RETURN;
            case Pad::kEast: return DIK_ESCAPE;
            case Pad::kStart: return DIK_SPACE;
            case Pad::kBack: return DIK_ESCAPE;
            default: return 0;
        }
    }
    // The first key of each control, the one the computer opponent presses.
    const SideKeys& keys = sideKeys(side);
    switch (control) {
        case Pad::kDpadUp: return keys.up[0];
        case Pad::kDpadDown: return keys.down[0];
        case Pad::kDpadLeft: return keys.left[0];
        case Pad::kDpadRight: return keys.right[0];
        case Pad::kSouth: return keys.fire;
        case Pad::kRightShoulder: return keys.fire;
        case Pad::kStart: return DIK_P;
        case Pad::kBack: return DIK_ESCAPE;
        default: return 0;
    }
}

}  // namespace

uint16_t padControls(const Pad& pad) {
    if (!pad.connected) return 0;
    uint16_t controls = pad.buttons;
    if (pad.leftX <= -kDeadZone) controls |= Pad::kDpadLeft;
    if (pad.leftX >= kDeadZone) controls |= Pad::kDpadRight;
    if (pad.leftY <= -kDeadZone) controls |= Pad::kDpadUp;
    if (pad.leftY >= kDeadZone) controls |= Pad::kDpadDown;
    return controls;
}

void pressPadKeys(uint16_t controls, uint16_t previous, int32_t side, PadMode mode,
                  uint8_t keys[256], uint8_t oldKeys[256]) {
    for (uint16_t control = 1; control != 0 && control <= Pad::kRightShoulder; control <<= 1) {
        if ((controls & control) == 0) continue;
        const uint8_t key = keyOf(control, side, mode);
        if (key == 0) continue;
        keys[key] |= 0x80;
        if ((previous & control) != 0) oldKeys[key] |= 0x80;
    }
}
