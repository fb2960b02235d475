#include "game/island.h"

#include "shell/main_window.h"

Island::Island(ZefDX* owner, int32_t side)
    : Sprite(owner, side * 1000 + 320, 360, Form1->island), side(side) {}
