#include <cstdlib>

#include "engine/directions.h"
#include "engine/zef_dx.h"
#include "game/game_controller.h"
#include "game/plane.h"
#include "game/side_keys.h"
#include "services/zef_input.h"
#include "shell/main_window.h"

void Plane::think() {
    Vehicle* enemy = Form1->match->vehicles[1 - side];
    if (enemy == nullptr) return;
    ZefInput* input = owner->input;
    const SideKeys& keys = sideKeys(side);
    Random& random = Form1->random;

    thinkTimer -= 1;
    if (thinkTimer <= 0) {
        attacking = !attacking;
        targetX = int32_t((random.next() % 1000) + enemy->posX - 500.0);
        targetY = int32_t((random.next() % 1000) + enemy->posY - 500.0);
        thinkTimer = (random.next() % 100) + 20;
    }
    if (attacking) {
        targetX = int32_t(enemy->posX);
        targetY = int32_t(enemy->posY);
        if (std::abs(int32_t(targetX - posX)) + std::abs(int32_t(targetY - posY)) < 50) {
            thinkTimer = 0;
        }
    }
    // Climb when this course meets the sea within 10 frames.
    if (posY + speed * dirY[heading & 0xFF] * 10.0 > 370.0 || enemy->state == 2) {
        attacking = false;
        targetY = 120 - (random.next() % 500);
    }

    aimHeading = directionOf(targetX - posX, targetY - posY);
    if (heading - aimHeading > 128) aimHeading += 256;
    if (heading - aimHeading < -128) aimHeading -= 256;
    if (std::abs(heading - aimHeading) >= 4) {
        if (heading < aimHeading) input->keys[keys.right[0]] = 255;
        if (heading > aimHeading) input->keys[keys.left[0]] = 255;
    } else if (attacking) {
        if (random.next() % 3 == 0 && isOnScreen()) input->keys[keys.fire] = 255;
    }

    if (owner->frameCounter % 4 == 0) input->keys[keys.up[0]] = 255;

    const int32_t chance = attacking ? 8 : 30;
    if (random.next() % chance == 0 && isOnScreen()) input->keys[keys.fire] = 255;
}
