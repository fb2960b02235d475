#include "game/cannon.h"

#include "engine/directions.h"
#include "engine/surface_chain.h"
#include "engine/zef_dx.h"
#include "game/cannonball.h"
#include "game/explosion.h"
#include "game/game_controller.h"
#include "shell/main_window.h"

namespace {

constexpr double kMinPower = 10.0;
constexpr double kMaxPower = 20.0;

double clampPower(double power) {
    if (power < kMinPower) return kMinPower;
    if (power > kMaxPower) return kMaxPower;
    return power;
}

}  // namespace

Cannon::Cannon(ZefDX* owner, int32_t side) : Vehicle(owner, side) {
    posX = side * 1000 + 320;
    posY = 340.0;
    heading = 0;
    surface = Form1->cannonChain->getSurf(16);
    x = int32_t(posX);
    y = int32_t(posY);
}

int32_t Cannon::pictureFor(int32_t heading) {
    int32_t f = (heading + 64) & 255;
    f = (f + 2) / 4;
    if (f > 32) f -= 33;
    return f;
}

void Cannon::process() {
    Vehicle::process();
    thinkIfComputer();
    if (leftHeld()) heading -= 4;
    if (rightHeld()) heading += 4;
    // The dots show the power only in frames where it is being changed.
    const auto showPowerDots = [this] {
        Form1->drawPowerDots(int32_t(posX - owner->viewX - 25.0),
                             int32_t(posY - owner->viewY + 25.0), int32_t(speed - 10.0));
    };
    if (upHeld()) {
        speed = clampPower(speed + 1.0);
        showPowerDots();
    }
    if (downHeld()) {
        speed = clampPower(speed - 1.0);
        showPowerDots();
    }
    speed = clampPower(speed);
    if (heading > 64 && heading < 128) heading = 64;
    if (heading > 128 && heading < 192) heading = 192;
    if (heading < 0) heading += 256;
    if (heading > 255) heading -= 256;

    GameController* match = Form1->match;
    if (reload >= 10 && fireHit()) {
        reload -= 10;
        const int32_t mx = int32_t(posX + dirX[heading] * 35.0);
        const int32_t my = int32_t(posY + 10.0 + dirY[heading] * 35.0);
        Form1->playAt(Form1->cannonFire, int32_t(posX));
        match->cannonballs->children.append(
            new Cannonball(owner, side, mx, my, heading, int32_t(speed), Cannonball::kShell));
        match->explosions->children.append(
            new Explosion(owner, mx, my, kMuzzleBurst.toward(heading)));
    }
    surface = Form1->cannonChain->getSurf(pictureFor(heading));
    x = int32_t(posX);
    y = int32_t(posY);
    Sprite::process();
}
