#include <cmath>

#include "engine/directions.h"
#include "engine/zef_dx.h"
#include "game/cannon.h"
#include "game/computer_strength.h"
#include "game/game_controller.h"
#include "game/side_keys.h"
#include "services/zef_input.h"
#include "shell/main_window.h"

namespace {

// Frames a shell needs to reach the enemy on its course, falling as it flies,
// and in `dx`, `dy` the line to fire along.
double shellMeeting(const Cannon& cannon, const Vehicle& enemy, double& dx, double& dy) {
    const double power = std::trunc(cannon.speed);
    const double fromY = cannon.posY + 10.0;
    double frames = std::hypot(enemy.posX - cannon.posX, enemy.posY - fromY) / power;
    for (int round = 0; round < 6; ++round) {
        dx = enemy.posX + enemy.vx * frames - cannon.posX;
        dy = enemy.posY + enemy.vy * frames - fromY - 0.125 * frames * (frames + 1.0);
        // The shell starts at the muzzle, 35 pixels out.
        frames = std::max(1.0, (std::hypot(dx, dy) - 35.0) / power);
    }
    return frames;
}

}  // namespace

void Cannon::think() {
    Vehicle* enemy = Form1->match->vehicles[1 - side];
    if (enemy == nullptr || enemy->state == 2) return;
    ZefInput* input = owner->input;
    const SideKeys& keys = sideKeys(side);
    const Skill& skill = skillOf(*this);
    if (skill.tactics) {
        thinkAhead(*enemy);
        return;
    }

    if (owner->frameCounter % skill.lookEvery == 0) {
        // Aim where the enemy will be after a straight flight of the shell.
        const double dx = enemy->posX - posX;
        const double dy = enemy->posY - posY;
        const double t = std::sqrt(dx * dx + dy * dy) / speed;
        const int enemyHeading = enemy->heading & 0xFF;
        const int32_t px = int32_t(t * dirX[enemyHeading] * enemy->speed + enemy->posX);
        const int32_t py = int32_t(t * dirY[enemyHeading] * enemy->speed + enemy->posY);
        aimHeading = directionOf(px - posX, py - posY);
        if (skill.aimError > 0) {
            aimHeading += Form1->random.next() % (2 * skill.aimError + 1) - skill.aimError;
        }
    }

    if (heading < 128 && aimHeading > 128) aimHeading -= 256;
    if (heading > 128 && aimHeading < 128) aimHeading += 256;
    if (std::abs(heading - aimHeading) >= 4) {
        if (heading < aimHeading) input->keys[keys.right[0]] = 255;
        if (heading > aimHeading) input->keys[keys.left[0]] = 255;
    }

    if (owner->frameCounter % 4 == 0 && speed < 20.0) input->keys[keys.up[0]] = 255;

    // Answer an enemy who is firing.
    const int32_t divisor = (input->keyDown(sideKeys(1 - side).fire) ? 3 : 20) * skill.fireScale;
    if (Form1->random.next() % divisor == 0) input->keys[keys.fire] = 255;
}

void Cannon::thinkAhead(const Vehicle& enemy) {
    ZefInput* input = owner->input;
    const Skill& skill = skillOf(*this);
    const SideKeys& keys = sideKeys(side);
    double dx = 0.0;
    double dy = 0.0;
    const double frames = shellMeeting(*this, enemy, dx, dy);
    aimHeading = directionOf(dx, dy);
    if (skill.aimError > 0) {
        aimHeading += Form1->random.next() % (2 * skill.aimError + 1) - skill.aimError;
    }
    if (heading < 128 && aimHeading > 128) aimHeading -= 256;
    if (heading > 128 && aimHeading < 128) aimHeading += 256;
    const int32_t off = std::abs(heading - aimHeading);
    if (off >= 3) {
        if (heading < aimHeading) input->keys[keys.right[0]] = 255;
        if (heading > aimHeading) input->keys[keys.left[0]] = 255;
    }
    if (speed < 20.0) input->keys[keys.up[0]] = 255;
    // Only shells that can meet a plane still in the air; every other frame
    // at most, since a shot needs a new press.
    if (off <= 3 && frames < 90.0 && enemy.state == 0 && !(input->oldKeys[keys.fire] & 0x80) &&
        Form1->random.next() % skill.fireScale == 0) {
        input->keys[keys.fire] = 255;
    }
}
