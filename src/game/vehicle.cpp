#include "game/vehicle.h"

#include <string>

#include "engine/surface_chain.h"
#include "engine/zef_dx.h"
#include "engine/zef_font.h"
#include "game/game_controller.h"
#include "game/player.h"
#include "game/side_keys.h"
#include "services/zef_input.h"
#include "shell/main_window.h"

Vehicle::Vehicle(ZefDX* owner, int32_t side) : Sprite(owner, 0, 0, nullptr), side(side) {}

void Vehicle::process() {
    reload += 1;
    if (reload < 0) reload = 0;
    if (reload > 100) reload = 100;
}

void Vehicle::takeDamage(int32_t amount) {
    GameController* match = Form1->match;
    if (health > 0 && match != nullptr && match->players[1 - side] != nullptr) {
        match->players[1 - side]->points += 1;
    }
    health -= amount;
    if (health < 0) health = 0;
    if (health > 100) health = 100;
}

bool Vehicle::upHeld() const {
    return controlHeld(*owner->input, sideKeys(side).up);
}
bool Vehicle::downHeld() const {
    return controlHeld(*owner->input, sideKeys(side).down);
}
bool Vehicle::leftHeld() const {
    return controlHeld(*owner->input, sideKeys(side).left);
}
bool Vehicle::rightHeld() const {
    return controlHeld(*owner->input, sideKeys(side).right);
}
bool Vehicle::fireHit() const {
    return owner->input->keyHit(sideKeys(side).fire);
}

void Vehicle::thinkIfComputer() {
    GameController* match = Form1->match;
    if (match != nullptr && match->players[side] != nullptr && match->players[side]->computer) {
        think();
    }
}

void Vehicle::drawStatus() {
    const int32_t s = side;
    Surface* back = owner->back;
    SurfaceChain* icons = Form1->iconChain;
    icons->getSurf(0)->blit(back, s * 630 + 5, 10, nullptr, nullptr, 1.0);
    icons->getSurf(1)->blit(back, s * 630 + 5, 25, nullptr, nullptr, 1.0);
    Form1->drawGauge(s * 510 + 15, 5, health, 100, 8);
    Form1->drawGauge(s * 510 + 15, 20, reload, 100, 8);
    GameController* match = Form1->match;
    if (match != nullptr && match->players[s] != nullptr) {
        Form1->textFont->draw(back, s * 380 + 130, 8, std::to_string(match->players[s]->points),
                              0xFFFFFF, 6);
    }
    if (!isOnScreen()) {
        Form1->drawGauge(s * 578 + 15, 35, 0, 32, 30);
        Sprite inset(owner, s * 578 + 46, 60, surface);
        inset.screenFixed = true;
        inset.scale = 0.5;
        inset.process();
    }
}
