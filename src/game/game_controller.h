#pragma once
#include <cstdint>

#include "engine/zef_base.h"

class Player;
class Vehicle;

// One match: both players, the current vehicle of each side, the projectile,
// splash and explosion lists, and the day cycle.
class GameController : public ZefBase {
  public:
    // Creates the players and sets up the first day part.
    explicit GameController(ZefDX* engine);
    ~GameController() override;

    void process() override;
    void startDayPart(int32_t part);
    // Reason 0: a plane has fallen into the sea; 1: the defender has no palm left.
    void requestDayPartEnd(int32_t side, int32_t reason);
    void endMatch();
    // Runs the pause asked for in this frame, if any: called by the main
    // loop once the frame is shown.
    void pauseIfAsked();

    Player* players[2] = {nullptr, nullptr};
    Vehicle* vehicles[2] = {nullptr, nullptr};
    ZefListOwner* bombs = nullptr;
    ZefListOwner* cannonballs = nullptr;
    ZefListOwner* splashes = nullptr;
    ZefListOwner* explosions = nullptr;
    bool dayPartEnding = false;
    bool endRequested = false;
    int32_t endCountdown = 0;
    int32_t day = 1;
    int32_t dayPart = 0;   // 0 morning, 1 noon, 2 afternoon
    bool hadFocus = true;  // the window's focus at the last frame
    bool pauseAsked = false;

  private:
    bool pauseWanted();
    void showTitleCard();
    void centreView();
    void runTransition();
};
