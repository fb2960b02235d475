#include "game/cannonball.h"

#include "engine/directions.h"
#include "engine/surface_chain.h"
#include "game/explosion.h"
#include "game/game_controller.h"
#include "game/sea_level.h"
#include "game/vehicle.h"
#include "services/sound.h"
#include "shell/main_window.h"

Cannonball::Cannonball(ZefDX* owner, int32_t side, int32_t x, int32_t y, int32_t direction,
                       int32_t speed, int32_t kind)
    : Sprite(owner, x, y, Form1->cannonballChain->getSurf(kind)),
      side(side),
      kind(kind),
      posX(x),
      posY(y),
      vx(speed * dirX[direction & 255]),
      vy(speed * dirY[direction & 255]) {}

void Cannonball::process() {
    GameController* match = Form1->match;
    if (kind == kShell) vy += 0.25;
    posX += vx;
    posY += vy;
    x = int32_t(posX);
    y = int32_t(posY);
    if (posY > kSeaLevel) {
        match->splashes->children.append(new Sprite(owner, x, y, Form1->splashChain->getSurf(0)));
        Form1->playAt(Form1->splashSound[side], x);
        Form1->whistleSound[side]->stop();
        killed = true;
    } else if (kind == kBullet) {
        if (isOnScreen()) {
            Sprite::process();
        } else {
            killed = true;
        }
    } else {
        Sprite::process();
    }
    // A ball that splashes in the frame it touches the enemy still hits it.
    Vehicle* target = match->vehicles[1 - side];
    if (target != nullptr && collides(target)) {
        target->takeDamage(20);
        Form1->playAt(Form1->hitSound[side], x);
        match->explosions->children.append(
            new Explosion(owner, x, y, kShellHitBurst.toward(directionOf(vx, vy))));
        killed = true;
    }
}
