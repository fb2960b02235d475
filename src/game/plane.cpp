#include "game/plane.h"

#include <cstdlib>

#include "engine/directions.h"
#include "engine/surface_chain.h"
#include "engine/zef_dx.h"
#include "game/bomb.h"
#include "game/cannonball.h"
#include "game/explosion.h"
#include "game/game_controller.h"
#include "game/player.h"
#include "game/sea_level.h"
#include "services/sound.h"
#include "shell/main_window.h"

namespace {

constexpr double kMinSpeed = 1.0;
constexpr double kMaxSpeed = 10.0;

}  // namespace

Plane::Plane(ZefDX* owner, int32_t side) : Vehicle(owner, side) {
    posX = side * 1000 + 320;
    posY = 270 - Form1->random.next() % 500;
    heading = side * 128 + 64;
    surface = Form1->planeChain->getSurf(side * 16 + 8);
    x = int32_t(posX);
    y = int32_t(posY);
    Sound* engine = Form1->engineLoop[side];
    engine->setFrequency(engineFrequency(speed));
    engine->stop();
    engine->rewind();
    engine->play(true);
}

uint32_t Plane::engineFrequency(double speed) {
    return uint32_t(int32_t(speed * 512.0 + 8192.0));
}

int32_t Plane::pictureFor(int32_t heading, int32_t frameCounter) {
    int32_t f = (heading + 4) / 8;
    if (f == 32) f = 0;
    if (frameCounter % 2 == 0) f += 32;
    return f;
}

void Plane::steer() {
    if (leftHeld()) heading -= 8;
    if (rightHeld()) heading += 8;
    // The rate follows the changed speed before it is clamped.
    if (upHeld()) {
        speed += 2.0;
        Form1->engineLoop[side]->setFrequency(engineFrequency(speed));
    }
    if (downHeld()) {
        speed -= 2.0;
        Form1->engineLoop[side]->setFrequency(engineFrequency(speed));
    }
}

void Plane::fall() {
    heading += 8;
    int32_t a = heading + 128;
    if (a > 255) a -= 256;
    a &= 255;
    Form1->match->explosions->children.append(new Explosion(owner, int32_t(posX + dirX[a] * 16.0),
                                                            int32_t(posY + dirY[a] * 8.0),
                                                            kSmokeBurst.toward(a)));
    // The scream rises while it falls.
    Sound* scream = Form1->fallingLoop[side];
    uint32_t rate = 0;
    scream->getFrequency(rate);
    if (rate < 22000) scream->setFrequency(rate + 10);
}

void Plane::fire() {
    GameController* match = Form1->match;
    if (match->dayPart == GameController::kAfternoon) {
        reload -= 15;
        match->cannonballs->children.append(new Cannonball(
            owner, side, int32_t(posX), int32_t(posY), heading, 20, Cannonball::kBullet));
        Form1->playAt(Form1->gunSound[side], int32_t(posX));
    } else {
        reload -= 20;
        match->bombs->children.append(
            new Bomb(owner, side, int32_t(posX), int32_t(posY), heading, int32_t(speed)));
        Form1->playAt(Form1->whistleSound[side], int32_t(posX));
    }
}

void Plane::drawEnemyArrow() {
    Vehicle* enemy = Form1->match->vehicles[1 - side];
    if (enemy == nullptr) return;
    const double dx = enemy->posX - posX;
    const double dy = enemy->posY - posY;
    if (std::abs(int32_t(dx)) + std::abs(int32_t(dy)) <= 640) return;
    const int32_t a = directionOf(dx, dy);
    int32_t px = int32_t(posX + dirX[a] * 64.0 - owner->viewX);
    int32_t py = int32_t(posY + dirY[a] * 64.0 - owner->viewY);
    if (px < 50) px = 50;
    if (px > 590) px = 590;
    if (py < 50) py = 50;
    if (py > 430) py = 430;
    Sprite arrow(owner, px, py, Form1->arrowChain->getSurf(a / 8));
    arrow.screenFixed = true;
    arrow.process();
}

void Plane::sink() {
    Form1->fallingLoop[side]->stop();
    Form1->engineLoop[side]->stop();
    Form1->playAt(Form1->planeSplashSound[side], int32_t(posX));
    GameController* match = Form1->match;
    match->splashes->children.append(
        new Sprite(owner, int32_t(posX), int32_t(posY), Form1->splashChain->getSurf(0)));
    state = kSunk;
    match->requestDayPartEnd(side, GameController::kPlaneSank);
    if (match->players[1 - side] != nullptr) match->players[1 - side]->points += 3;
}

void Plane::process() {
    if (state == kSunk) return;
    Vehicle::process();
    thinkIfComputer();
    if (state == kFlying) steer();
    if (state == kFalling) fall();
    if (speed < kMinSpeed) speed = kMinSpeed;
    if (speed > kMaxSpeed) speed = kMaxSpeed;
    if (heading < 0) heading += 256;
    if (heading > 255) heading -= 256;
    if (reload >= 20 && fireHit()) fire();

    if (state == kFlying) {
        vx = speed * dirX[heading];
        vy = speed * dirY[heading];
    } else {
        vy += 0.25;
    }
    posX += vx;
    posY += vy;
    surface = Form1->planeChain->getSurf(pictureFor(heading, owner->frameCounter));
    Form1->engineLoop[side]->setPan(int32_t((posX - owner->viewX - 320.0) * 10000.0 * 0.0015625));
    x = int32_t(posX);
    y = int32_t(posY);
    Sprite shadowDrawer(owner, x, int32_t(kSeaLevel), Form1->shadow);
    shadowDrawer.process();
    Sprite::process();
    drawEnemyArrow();
    if (posY > kSeaLevel) sink();
}

void Plane::takeDamage(int32_t amount) {
    Vehicle::takeDamage(amount);
    if (health > 0 || state != kFlying) return;
    state = kFalling;
    owner->children.append(new Explosion(owner, int32_t(posX), int32_t(posY), kPlaneHitBurst));
    Sound* scream = Form1->fallingLoop[side];
    scream->setFrequency(0);
    scream->stop();
    scream->rewind();
    scream->play(true);
    Form1->engineLoop[side]->stop();
}
