#include "game/side_keys.h"

#include "services/zef_input.h"

namespace {

// Sides without a second key repeat the first.
const SideKeys kDefaultKeys[2] = {
    {{DIK_W, DIK_W}, {DIK_S, DIK_X}, {DIK_A, DIK_A}, {DIK_D, DIK_D}, DIK_LSHIFT},
    {{DIK_NUMPAD8, DIK_UP},
     {DIK_NUMPAD2, DIK_DOWN},
     {DIK_NUMPAD4, DIK_LEFT},
     {DIK_NUMPAD6, DIK_RIGHT},
     DIK_SPACE},
};

SideKeys boundKeys[2] = {kDefaultKeys[0], kDefaultKeys[1]};

int32_t sideIndex(int32_t side) {
    return side == 0 ? 0 : 1;
}

uint8_t* pairOf(SideKeys& keys, SideAction action) {
    switch (action) {
        case SideAction::Up:
            return keys.up;
        case SideAction::Down:
            return keys.down;
        case SideAction::Left:
            return keys.left;
        case SideAction::Right:
            return keys.right;
        case SideAction::Fire:
            break;
    }
    return nullptr;
}

}  // namespace

const char* sideActionName(SideAction action) {
    static const char* const kNames[kSideActionCount] = {"up", "down", "left", "right", "fire"};
    return kNames[int(action)];
}

void actionKeys(const SideKeys& keys, SideAction action, uint8_t out[2]) {
    SideKeys copy = keys;
    const uint8_t* pair = pairOf(copy, action);
    out[0] = pair != nullptr ? pair[0] : keys.fire;
    out[1] = pair != nullptr ? pair[1] : keys.fire;
}

void bindAction(SideKeys& keys, SideAction action, uint8_t key) {
    bindAction(keys, action, key, key);
}

void bindAction(SideKeys& keys, SideAction action, uint8_t key, uint8_t second) {
    if (uint8_t* pair = pairOf(keys, action)) {
        pair[0] = key;
        pair[1] = second;
    } else {
        keys.fire = key;
    }
}

const SideKeys& sideKeys(int32_t side) {
    return boundKeys[sideIndex(side)];
}

const SideKeys& defaultSideKeys(int32_t side) {
    return kDefaultKeys[sideIndex(side)];
}

void setSideKeys(int32_t side, const SideKeys& keys) {
    boundKeys[sideIndex(side)] = keys;
}

bool controlHeld(const ZefInput& input, const uint8_t (&keys)[2]) {
    return input.keyDown(keys[0]) || input.keyDown(keys[1]);
}
