#include "game/bomb.h"

#include "engine/directions.h"
#include "engine/surface_chain.h"
#include "game/explosion.h"
#include "game/game_controller.h"
#include "game/palm.h"
#include "game/player.h"
#include "game/sea_level.h"
#include "services/sound.h"
#include "shell/main_window.h"

Bomb::Bomb(ZefDX* owner, int32_t side, int32_t x, int32_t y, int32_t direction, int32_t speed)
    : Sprite(owner, x, y, Form1->bombChain->getSurf(0)),
      side(side),
      posX(x),
      posY(y),
      vx(speed * dirX[direction & 255]),
      vy(speed * dirY[direction & 255]) {}

void Bomb::process() {
    vy += 0.25;
    posX += vx;
    posY += vy;
    x = int32_t(posX);
    y = int32_t(posY);
    int32_t f = (directionOf(vx, vy) + 4) / 8;
    if (f == 32) f = 0;
    surface = Form1->bombChain->getSurf(f);
    if (posY > kSeaLevel) {
        Form1->match->splashes->children.append(
            new Sprite(owner, x, y, Form1->splashChain->getSurf(0)));
        Form1->playAt(Form1->splashSound[side], x);
        Form1->whistleSound[side]->stop();
        killed = true;
    } else {
        Sprite::process();
    }
    hitPalm();
    meetCannonball();
}

void Bomb::hitPalm() {
    GameController* match = Form1->match;
    Player* enemy = match->players[1 - side];
    if (enemy == nullptr) return;
    for (int32_t i = 0; i < enemy->palmCount; ++i) {
        Palm* palm = enemy->palms[i];
        if (palm == nullptr || palm->hit || !collides(palm)) continue;
        Form1->playAt(Form1->hitSound[side], x);
        match->explosions->children.append(new Explosion(owner, x, y, kPalmHitBurst));
        palm->hit = true;
        if (match->players[side] != nullptr) match->players[side]->points += 3;
        killed = true;
        return;
    }
}

void Bomb::meetCannonball() {
    GameController* match = Form1->match;
    for (ZefBase* ball = match->cannonballs->children.head; ball != nullptr; ball = ball->next) {
        if (!collides(static_cast<Sprite*>(ball))) continue;
        match->explosions->children.append(new Explosion(owner, x, y, kBombMeetsShotBurst));
        killed = true;
        return;
    }
}
