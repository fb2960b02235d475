#include "game/game_controller.h"

#include <string>

#include "engine/messenger.h"
#include "engine/sprite_font.h"
#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "game/cannon.h"
#include "game/end_screen.h"
#include "game/match_pause.h"
#include "game/mmenu.h"
#include "game/plane.h"
#include "game/player.h"
#include "platform/system.h"
#include "services/sound.h"
#include "services/zef_input.h"
#include "shell/main_window.h"

namespace {

const char* const kDayPartNames[GameController::kDayParts] = {"morning", "noon", "afternoon"};
// How long the name of the day part stays up, in frames.
constexpr int32_t kDayPartNameFrames = 50;
// The title card's pause before a day part, and the closed curtain's after one.
constexpr int32_t kTitleCardMs = 2000;
constexpr int32_t kCurtainMs = 1000;
// The view goes no further left than this.
constexpr int32_t kLeftmostViewX = -6400;

void stopPlaneLoops() {
    for (int side = 0; side < 2; ++side) {
        Form1->engineLoop[side]->stop();
        Form1->fallingLoop[side]->stop();
    }
}

}  // namespace

GameController::GameController(ZefDX* owner) : ZefBase(owner) {
    for (int side = 0; side < 2; ++side) {
        players[side] = new Player(owner, side, Form1->menu->isComputer[side] == 1);
        vehicles[side] = nullptr;
    }
    bombs = nullptr;
    cannonballs = nullptr;
    splashes = new ZefListOwner(owner);
    explosions = new ZefListOwner(owner);
    day = 1;
    endRequested = false;
    dayPartEnding = false;
    endCountdown = 0;
    hadFocus = owner->window->window().hasFocus();
    startDayPart(kMorning);
}

GameController::~GameController() {
    for (int side = 0; side < 2; ++side) {
        delete players[side];
        delete vehicles[side];
    }
    delete bombs;
    delete cannonballs;
    delete splashes;
    delete explosions;
}

void GameController::startDayPart(int32_t part) {
    if (Form1->menu->warDays < day) return;
    delete vehicles[0];
    delete vehicles[1];
    vehicles[0] = vehicles[1] = nullptr;
    delete bombs;
    delete cannonballs;
    bombs = new ZefListOwner(owner);
    cannonballs = new ZefListOwner(owner);
    // Morning: left flies against the right cannon; noon the other way round.
    vehicles[0] = part == kNoon ? static_cast<Vehicle*>(new Cannon(owner, 0))
                                : static_cast<Vehicle*>(new Plane(owner, 0));
    vehicles[1] = part == kMorning ? static_cast<Vehicle*>(new Cannon(owner, 1))
                                   : static_cast<Vehicle*>(new Plane(owner, 1));
    dayPart = part;
    Form1->messenger->show(std::string(kDayPartNames[part]) + " of day " + std::to_string(day),
                           kDayPartNameFrames);
    showTitleCard();
    centreView();
}

void GameController::showTitleCard() {
    Surface* back = owner->back;
    back->fill(nullptr, Form1->skyColour);
    Form1->font->draw(back, 320, 440, "left player               right player", 6);
    vehicles[0]->surface->blit(back, 160, 240, nullptr, nullptr, 1.0);
    vehicles[1]->surface->blit(back, 480, 240, nullptr, nullptr, 1.0);
    owner->frame();
    owner->wait(kTitleCardMs);
}

void GameController::centreView() {
    if (vehicles[0] == nullptr || vehicles[1] == nullptr) return;
    owner->viewX = int32_t((vehicles[0]->posX + vehicles[1]->posX) * 0.5 - 320);
    owner->viewY = int32_t((vehicles[0]->posY + vehicles[1]->posY) * 0.5 - 240);
}

void GameController::runTransition() {
    Form1->closeCurtain();
    stopPlaneLoops();
    owner->wait(kCurtainMs);
    dayPart += 1;
    if (dayPart == kDayParts) {
        dayPart = kMorning;
        day += 1;
        // After the last afternoon the match ends; fresh palms would only
        // spend random draws on trees nobody sees.
        if (day <= Form1->menu->warDays) {
            players[0]->plantPalms();
            players[1]->plantPalms();
        }
    }
    startDayPart(dayPart);
}

// P or Pause on this frame's own key read, or the window losing the focus
// while two humans play (a computer side plays on by itself).
bool GameController::pauseWanted() {
    const bool focused = owner->window->window().hasFocus();
    const bool lostFocus = hadFocus && !focused;
    hadFocus = focused;
    const bool humans = !players[0]->computer && !players[1]->computer;
    return pauseKeyHit(owner) || (humans && lostFocus);
}

void GameController::pauseIfAsked() {
    if (!pauseAsked) return;
    pauseAsked = false;
    if (owner->children.contains(this) && !runMatchPause(owner)) endMatch();
}

void GameController::process() {
    // Before the countdown: a curtain and a title card read the keys again.
    // The pause itself comes after this frame has been shown.
    if (pauseWanted()) pauseAsked = true;
    if (endCountdown > 0) {
        endCountdown -= 1;
        if (endCountdown == 0) {
            dayPartEnding = endRequested;
            if (dayPartEnding) {
                runTransition();
                dayPartEnding = false;
            }
        }
    }
    // The latest input update may be a wait's inside the transition, so an
    // Escape that cut the title card short also ends the match.
    if (Form1->menu->warDays < day || owner->input->keyHit(DIK_ESCAPE)) {
        endMatch();
        return;
    }

    players[0]->process();
    players[1]->process();
    bombs->process();
    cannonballs->process();
    if (vehicles[0] != nullptr) vehicles[0]->process();
    if (vehicles[1] != nullptr) vehicles[1]->process();
    splashes->process();
    explosions->process();
    for (Vehicle* vehicle : vehicles) {
        if (vehicle != nullptr) vehicle->drawStatus();
    }

    if (!dayPartEnding) centreView();
    if (owner->viewX < kLeftmostViewX) owner->viewX = kLeftmostViewX;
    if (owner->viewY > 0) owner->viewY = 0;
}

void GameController::requestDayPartEnd(int32_t /*side*/, int32_t reason) {
    if (reason == kPlaneSank) {
        endRequested = true;
        endCountdown = kPlaneSankFrames;
    } else if (reason == kPalmsGone && endCountdown == 0) {
        endRequested = true;
        endCountdown = kPalmsGoneFrames;
    }
}

void GameController::endMatch() {
    owner->input->waitForNoKeys();
    stopPlaneLoops();
    Form1->music->stop();
    Form1->music->rewind();
    Form1->music->play(true);
    if (owner->children.contains(this)) owner->children.remove(this);
    if (owner->children.contains(Form1->messenger)) owner->children.remove(Form1->messenger);
    delete Form1->endScreen;
    Form1->endScreen = new EndScreen(owner, players[0]->points, players[1]->points);
    owner->children.append(Form1->endScreen);
}
