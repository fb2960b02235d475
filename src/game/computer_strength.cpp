#include "game/computer_strength.h"

#include <algorithm>

#include "game/game_controller.h"
#include "game/player.h"
#include "game/vehicle.h"
#include "shell/main_window.h"

namespace {

const Skill kSkills[5] = {
    {14, 28, 4, 5, false, 0, 0},  {6, 12, 2, 8, false, 0, 0},     {1, 0, 1, 10, false, 0, 0},
    {1, 3, 2, 16, true, 20, 110}, {1, 0, 1, 20, true, -120, 160},
};

}  // namespace

const Skill& skillOf(int32_t strength) {
    return kSkills[std::clamp(strength, kWeakestStrength, kStrongestStrength) - 1];
}

const Skill& skillOf(const Vehicle& vehicle) {
    const GameController* match = Form1->match;
    const Player* player = match != nullptr ? match->players[vehicle.side] : nullptr;
    return skillOf(player != nullptr ? player->strength : kUsualStrength);
}
