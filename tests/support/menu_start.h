#pragma once
// The menu's key sequence that starts a match: the sides set, the arrow on
// the start row, Return down for one key read.
#include "game/mmenu.h"
#include "platform/headless.h"
#include "services/dik_codes.h"

namespace kit {

constexpr int kStartRow = 4;

inline void pressStart(MMenu& menu, platform::HeadlessSystem& keys, bool leftComputer,
                       bool rightComputer) {
    menu.isComputer[0] = leftComputer ? 1 : 0;
    menu.isComputer[1] = rightComputer ? 1 : 0;
    menu.selectedRow = kStartRow;
    keys.holdKey(DIK_RETURN, keys.keyReads(), keys.keyReads() + 1);
}

}  // namespace kit
