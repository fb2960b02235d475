#include <cmath>

#include "engine/directions.h"
#include "engine/zef_dx.h"
#include "game/cannon.h"
#include "game/game_controller.h"
#include "game/side_keys.h"
#include "services/zef_input.h"
#include "shell/main_window.h"

void Cannon::think() {
    Vehicle* enemy = Form1->match->vehicles[1 - side];
    if (enemy == nullptr || enemy->state == 2) return;
    ZefInput* input = owner->input;
    const SideKeys& keys = sideKeys(side);

    // Aim where the enemy will be after a straight flight of the shell.
    const double dx = enemy->posX - posX;
    const double dy = enemy->posY - posY;
    const double t = std::sqrt(dx * dx + dy * dy) / speed;
    const int enemyHeading = enemy->heading & 0xFF;
    const int32_t px = int32_t(t * dirX[enemyHeading] * enemy->speed + enemy->posX);
    const int32_t py = int32_t(t * dirY[enemyHeading] * enemy->speed + enemy->posY);
    aimHeading = directionOf(px - posX, py - posY);

    if (heading < 128 && aimHeading > 128) aimHeading -= 256;
    if (heading > 128 && aimHeading < 128) aimHeading += 256;
    if (std::abs(heading - aimHeading) >= 4) {
        if (heading < aimHeading) input->keys[keys.right[0]] = 255;
        if (heading > aimHeading) input->keys[keys.left[0]] = 255;
    }

    if (owner->frameCounter % 4 == 0 && speed < 20.0) input->keys[keys.up[0]] = 255;

    // Answer an enemy who is firing.
    const int32_t divisor = input->keyDown(sideKeys(1 - side).fire) ? 3 : 20;
    if (Form1->random.next() % divisor == 0) input->keys[keys.fire] = 255;
}
