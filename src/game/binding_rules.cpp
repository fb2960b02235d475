#include "game/binding_rules.h"

#include "services/dik_codes.h"

namespace {

const uint8_t kReservedKeys[] = {DIK_ESCAPE, DIK_F10,   DIK_F12,    DIK_P,           DIK_PAUSE,
                                 DIK_LMENU,  DIK_RMENU, DIK_RETURN, DIK_NUMPADENTER, DIK_M};

}  // namespace

const char* refusedKey(const SideKeys (&keys)[2], int32_t side, uint8_t key) {
    for (uint8_t reserved : kReservedKeys) {
        if (key == reserved) return "that key is the game's own";
    }
    const SideKeys& other = keys[side == 0 ? 1 : 0];
    for (int action = 0; action < kSideActionCount; ++action) {
        uint8_t pair[2];
        actionKeys(other, SideAction(action), pair);
        if (key == pair[0] || key == pair[1]) return "the other side uses that key";
    }
    return nullptr;
}
