#include "game/player.h"

#include "engine/directions.h"
#include "game/game_controller.h"
#include "game/island.h"
#include "game/mmenu.h"
#include "game/palm.h"
#include "shell/main_window.h"

int32_t menuPalmCount() {
    if (Form1->menu == nullptr) return 3;
    int32_t n = Form1->menu->palmTrees;
    if (n < 1) n = 1;
    if (n > Player::kMaxPalms) n = Player::kMaxPalms;
    return n;
}

Player::Player(ZefDX* owner, int32_t side, bool computer)
    : ZefBase(owner), side(side), computer(computer) {
    island = new Island(owner, side);
    plantPalms();
}

Player::~Player() {
    delete island;
    for (Palm*& palm : palms) {
        delete palm;
        palm = nullptr;
    }
}

void Player::plantPalms() {
    for (Palm*& palm : palms) {
        delete palm;
        palm = nullptr;
    }
    palmCount = menuPalmCount();
    for (int32_t i = 0; i < palmCount; ++i) {
        // Within 45 degrees either side of straight up.
        int32_t d = Form1->random.next() % 64 - 32;
        if (d < 0) d += 256;
        const int32_t x = int32_t(island->x + dirX[d] * 150.0);
        const int32_t y = int32_t(island->y + dirY[d] * 60.0);
        palms[i] = new Palm(owner, x, y, d > 128);
    }
}

bool Player::allPalmsHit() const {
    for (int32_t i = 0; i < palmCount; ++i) {
        if (palms[i] != nullptr && !palms[i]->hit) return false;
    }
    return true;
}

void Player::process() {
    if (island != nullptr) island->process();
    for (int32_t i = 0; i < palmCount; ++i) {
        if (palms[i] != nullptr) palms[i]->process();
    }
    GameController* match = Form1->match;
    if (match != nullptr && match->dayPart == 1 - side && allPalmsHit()) {
        match->requestDayPartEnd(side, GameController::kPalmsGone);
    }
}
