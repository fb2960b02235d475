#include "game/pad_keys.h"

#include "game/side_keys.h"
#include "services/dik_codes.h"

namespace {

using Pad = platform::PadState;

constexpr int32_t kDeadZone = 32768 / 4;

struct Binding {
    uint16_t control;
    uint8_t key;
};

// The right shoulder opens the controls screen from the menu.
const Binding kMenuBindings[] = {
    {Pad::kDpadUp, DIK_UP},       {Pad::kDpadDown, DIK_DOWN}, {Pad::kDpadLeft, DIK_LEFT},
    {Pad::kDpadRight, DIK_RIGHT}, {Pad::kSouth, DIK_RETURN},  {Pad::kEast, DIK_ESCAPE},
    {Pad::kStart, DIK_SPACE},     {Pad::kBack, DIK_ESCAPE},   {Pad::kRightShoulder, DIK_C},
};

const PadButtons kDefaultPadButtons = {{Pad::kDpadUp, Pad::kDpadDown, Pad::kDpadLeft,
                                        Pad::kDpadRight,
                                        uint16_t(Pad::kSouth | Pad::kRightShoulder)}};

PadButtons boundButtons = kDefaultPadButtons;

// The key of one control; 0 when the control does nothing in that mode.
uint8_t keyOf(uint16_t control, int32_t side, PadMode mode) {
    if (mode == PadMode::Menu) {
        for (const Binding& b : kMenuBindings) {
            if (b.control == control) return b.key;
        }
        return 0;
    }
    if (control == Pad::kStart) return DIK_P;
    if (control == Pad::kBack) return DIK_ESCAPE;
    // The first key of each control, the one the computer opponent presses.
    for (int action = 0; action < kSideActionCount; ++action) {
        if ((boundButtons.action[action] & control) == 0) continue;
        uint8_t keys[2];
        actionKeys(sideKeys(side), SideAction(action), keys);
        return keys[0];
    }
    return 0;
}

}  // namespace

const PadButtons& padButtons() {
    return boundButtons;
}

const PadButtons& defaultPadButtons() {
    return kDefaultPadButtons;
}

void setPadButtons(const PadButtons& buttons) {
    boundButtons = buttons;
}

const char* padButtonName(uint16_t button) {
    switch (button) {
        case Pad::kDpadUp:
            return "dpad_up";
        case Pad::kDpadDown:
            return "dpad_down";
        case Pad::kDpadLeft:
            return "dpad_left";
        case Pad::kDpadRight:
            return "dpad_right";
        case Pad::kSouth:
            return "a";
        case Pad::kEast:
            return "b";
        case Pad::kRightShoulder:
            return "right_shoulder";
        default:
            return nullptr;
    }
}

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
