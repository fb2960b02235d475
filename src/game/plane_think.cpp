#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/directions.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "game/cannonball.h"
#include "game/computer_strength.h"
#include "game/game_controller.h"
#include "game/palm.h"
#include "game/plane.h"
#include "game/player.h"
#include "game/side_keys.h"
#include "services/zef_input.h"
#include "shell/main_window.h"

void Plane::think() {
    Vehicle* enemy = Form1->match->vehicles[1 - side];
    if (enemy == nullptr) return;
    ZefInput* input = owner->input;
    const SideKeys& keys = sideKeys(side);
    Random& random = Form1->random;
    const Skill& skill = skillOf(*this);
    if (skill.tactics) {
        thinkAhead(*enemy);
        return;
    }

    if (owner->frameCounter % skill.lookEvery == 0) {
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
        // Climb when this course meets the sea soon.
        if (posY + speed * dirY[heading & 0xFF] * double(skill.seaLookahead) > 370.0 ||
            enemy->state == 2) {
            attacking = false;
            targetY = 120 - (random.next() % 500);
        }
        aimHeading = directionOf(targetX - posX, targetY - posY);
        if (skill.aimError > 0) {
            aimHeading += random.next() % (2 * skill.aimError + 1) - skill.aimError;
        }
    }

    if (heading - aimHeading > 128) aimHeading += 256;
    if (heading - aimHeading < -128) aimHeading -= 256;
    if (std::abs(heading - aimHeading) >= 4) {
        if (heading < aimHeading) input->keys[keys.right[0]] = 255;
        if (heading > aimHeading) input->keys[keys.left[0]] = 255;
    } else if (attacking) {
        if (random.next() % (3 * skill.fireScale) == 0 && isOnScreen()) {
            input->keys[keys.fire] = 255;
        }
    }

    if (owner->frameCounter % 4 == 0) input->keys[keys.up[0]] = 255;

    const int32_t chance = (attacking ? 8 : 30) * skill.fireScale;
    if (random.next() % chance == 0 && isOnScreen()) input->keys[keys.fire] = 255;
}

namespace {

// The centre of a sprite's collision box.
void centreOf(const Sprite& sprite, double& cx, double& cy) {
    cx = sprite.x - sprite.surface->hotspotX + sprite.surface->width / 2;
    cy = sprite.y - sprite.surface->hotspotY + sprite.surface->height / 2;
}

// Where a bomb dropped now crosses the height `y`: it starts with the plane's
// heading at its truncated speed and falls 0.25 pixels per frame per frame.
double bombCrossing(const Vehicle& plane, double y) {
    const double speed = std::trunc(plane.speed);
    double bx = std::trunc(plane.posX);
    double by = std::trunc(plane.posY);
    double vx = speed * dirX[plane.heading & 0xFF];
    double vy = speed * dirY[plane.heading & 0xFF];
    for (int frame = 0; frame < 400 && (by < y || vy < 0.0); ++frame) {
        vy += 0.25;
        bx += vx;
        by += vy;
    }
    return bx;
}

// The direction, 0..255, from one vehicle to another.
int32_t bearing(const Vehicle& from, const Vehicle& to) {
    return directionOf(to.posX - from.posX, to.posY - from.posY);
}

int32_t stepsApart(int32_t a, int32_t b) {
    const int32_t d = std::abs((a - b) & 0xFF);
    return std::min(d, 256 - d);
}

}  // namespace

void Plane::thinkAhead(Vehicle& enemy) {
    GameController* match = Form1->match;
    ZefInput* input = owner->input;
    const SideKeys& keys = sideKeys(side);
    const Skill& skill = skillOf(*this);
    const double dist = std::hypot(enemy.posX - posX, enemy.posY - posY);
    bool fire = false;
    thinkTimer -= 1;

    if (match->dayPart != 2) {
        // Bombing runs: over the nearest standing palm and on past it, then
        // back; a bomb goes when it would fall on a palm.
        const Player* defender = match->players[1 - side];
        const Palm* aim = nullptr;
        for (int32_t i = 0; defender != nullptr && i < defender->palmCount; ++i) {
            const Palm* palm = defender->palms[i];
            if (palm == nullptr || palm->hit) continue;
            if (aim == nullptr || std::abs(palm->x - posX) < std::abs(aim->x - posX)) aim = palm;
            double cx = 0.0;
            double cy = 0.0;
            centreOf(*palm, cx, cy);
            const double reach = palm->surface->width * palm->surface->collisionScale * 0.3;
            if (std::abs(bombCrossing(*this, cy) - cx) < reach && reload >= 20) fire = true;
        }
        const double runFrom = aim != nullptr ? aim->x : enemy.posX;
        if (std::abs(targetX - posX) < 80.0 || std::abs(targetX - runFrom) > 700.0) {
            targetX = int32_t(runFrom + (posX < runFrom ? 450.0 : -450.0));
        }
        if (thinkTimer <= 0) targetY = skill.cruiseY;
        // Dodge a shell that comes close: climb over it or dive under it.
        for (ZefBase* member = match->cannonballs->children.head; member != nullptr;
             member = member->next) {
            const auto* shell = static_cast<const Cannonball*>(member);
            if (shell->side == side) continue;
            const double sx = posX - shell->posX;
            const double sy = posY - shell->posY;
            if (std::hypot(sx, sy) < skill.dodgeRange && sx * shell->vx + sy * shell->vy > 0.0) {
                targetY = int32_t(shell->posY < posY ? posY + 120.0 : posY - 160.0);
                thinkTimer = 25;
            }
        }
        targetY = std::min(targetY, 200);
    } else if (enemy.state == 0) {
        // Dogfight: lead the enemy with bullets, turn away from its gun.
        double frames = dist / 20.0;
        double px = enemy.posX;
        double py = enemy.posY;
        for (int round = 0; round < 3; ++round) {
            px = enemy.posX + enemy.vx * frames;
            py = enemy.posY + enemy.vy * frames;
            frames = std::hypot(px - posX, py - posY) / 20.0;
        }
        targetX = int32_t(px);
        targetY = int32_t(py);
        const bool underItsGun =
            stepsApart(enemy.heading, bearing(enemy, *this)) < 12 && dist < skill.dodgeRange * 3;
        const bool onMyGun = stepsApart(heading, directionOf(px - posX, py - posY)) < 4;
        if (underItsGun && !onMyGun) {
            // Break off to the side away from the sea.
            const int32_t away = bearing(enemy, *this);
            const int32_t side1 = (away + 64) & 0xFF;
            const int32_t side2 = (away + 192) & 0xFF;
            const int32_t breakTo = dirY[side1] < dirY[side2] ? side1 : side2;
            targetX = int32_t(posX + dirX[breakTo] * 300.0);
            targetY = int32_t(posY + dirY[breakTo] * 300.0);
        }
        fire = onMyGun && dist < 420.0 && reload >= 20 && isOnScreen();
        targetY = std::min(targetY, 250);
    } else {
        targetX = int32_t(posX + (vx < 0.0 ? -300.0 : 300.0));
        targetY = skill.cruiseY;
    }
    // The sea comes first.
    if (posY + speed * dirY[heading & 0xFF] * double(skill.seaLookahead) > 340.0) {
        targetY = int32_t(posY) - 300;
    }

    aimHeading = directionOf(targetX - posX, targetY - posY);
    if (heading - aimHeading > 128) aimHeading += 256;
    if (heading - aimHeading < -128) aimHeading -= 256;
    if (std::abs(heading - aimHeading) >= 4) {
        if (heading < aimHeading) input->keys[keys.right[0]] = 255;
        if (heading > aimHeading) input->keys[keys.left[0]] = 255;
    }
    input->keys[keys.up[0]] = 255;
    if (fire && !(input->oldKeys[keys.fire] & 0x80) &&
        Form1->random.next() % skill.fireScale == 0) {
        input->keys[keys.fire] = 255;
    }
}
