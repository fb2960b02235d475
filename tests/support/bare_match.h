#pragma once
// A match with two human players and empty lists but no vehicle, no day part
// and no title card, for tests and benchmarks that set up the scene
// themselves. The match builds nothing past its players when the menu asks
// for no war day; the menu's settings are put back afterwards.
#include "engine/zef_base.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "shell/main_window.h"

inline GameController* makeBareMatch(ZefDX* engine) {
    MMenu& menu = *Form1->menu;
    const int32_t warDays = menu.warDays, left = menu.isComputer[0], right = menu.isComputer[1];
    menu.warDays = 0;
    menu.isComputer[0] = menu.isComputer[1] = 0;
    auto* match = new GameController(engine);
    menu.warDays = warDays;
    menu.isComputer[0] = left;
    menu.isComputer[1] = right;
    match->bombs = new ZefListOwner(engine);
    match->cannonballs = new ZefListOwner(engine);
    return match;
}
