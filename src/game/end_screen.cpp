#include "game/end_screen.h"

#include <string>

#include "engine/sprite_font.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "game/explosion.h"
#include "game/mmenu.h"
#include "game/sea_level.h"
#include "services/zef_input.h"
#include "shell/main_window.h"

EndScreen::EndScreen(ZefDX* owner, int32_t leftPoints, int32_t rightPoints)
    : ZefBase(owner), leftPoints(leftPoints), rightPoints(rightPoints) {}

void EndScreen::process() {
    // Sky, sea and fireworks are drawn unscrolled from the next frame on.
    owner->viewX = 0;
    owner->viewY = 0;
    Form1->smallLogo->blit(owner->back, 320, 100, nullptr, nullptr, 1.0);
    drawScores();
    if (Form1->random.next() % 25 == 0) launchFirework();

    frames += 1;
    if (frames > 20 && owner->input->anyKeyHit()) leave();
}

void EndScreen::drawScores() {
    SpriteFont* font = Form1->font;
    Surface* back = owner->back;
    const std::string left = std::to_string(leftPoints) + " points";
    const std::string right = std::to_string(rightPoints) + " points";
    font->draw(back, 160 - font->textWidth(left) / 2, 270, left, 0);
    font->draw(back, 480 - font->textWidth(right) / 2, 270, right, 0);

    const std::string winner = "winner!";
    const int32_t half = font->textWidth(winner) / 2;
    if (leftPoints > rightPoints) font->draw(back, 160 - half, 220, winner, 0);
    if (leftPoints < rightPoints) font->draw(back, 480 - half, 220, winner, 0);
}

void EndScreen::launchFirework() {
    Random& random = Form1->random;
    const int32_t x = random.next() % 640;
    const int32_t maxSpeed = random.next() % kPlaneHitBurst.maxSpeed;
    const int32_t count = random.next() % Explosion::kMaxSparks;
    const int32_t y = random.next() % int32_t(kSeaLevel);
    // Into the engine's own list: the fireworks outlive this screen.
    owner->children.append(new Explosion(owner, x, y, Burst{count, maxSpeed}));
    Form1->playAt(Form1->cannonFire, x);
}

void EndScreen::leave() {
    owner->children.remove(this);
    owner->children.append(Form1->menu);
    Form1->closeCurtain();
    owner->input->waitForNoKeys();
}
