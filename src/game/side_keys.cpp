#include "game/side_keys.h"

#include "services/zef_input.h"

namespace {

// Sides without a second key repeat the first.
const SideKeys kSideKeys[2] = {
    {{DIK_W, DIK_W}, {DIK_S, DIK_X}, {DIK_A, DIK_A}, {DIK_D, DIK_D}, DIK_LSHIFT},
    {{DIK_NUMPAD8, DIK_UP},
     {DIK_NUMPAD2, DIK_DOWN},
     {DIK_NUMPAD4, DIK_LEFT},
     {DIK_NUMPAD6, DIK_RIGHT},
     DIK_SPACE},
};

}  // namespace

const SideKeys& sideKeys(int32_t side) {
    return kSideKeys[side == 0 ? 0 : 1];
}

bool controlHeld(const ZefInput& input, const uint8_t (&keys)[2]) {
    return input.keyDown(keys[0]) || input.keyDown(keys[1]);
}
