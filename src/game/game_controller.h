#pragma once
#include <cstdint>

#include "engine/zef_base.h"

class Player;
class Vehicle;

// One match: both players, the current vehicle of each side, the projectile,
// splash and explosion lists, and the day cycle.
class GameController : public ZefBase {
  public:
    // Why a day part ends: a plane has fallen into the sea, or the defender
    // has no palm left.
    static constexpr int32_t kPlaneSank = 0;
    static constexpr int32_t kPalmsGone = 1;
    // Frames from the reason to the curtain: the splash, or the last palm's
    // burst, is seen first.
    static constexpr int32_t kPlaneSankFrames = 35;
    static constexpr int32_t kPalmsGoneFrames = 50;
    static constexpr int32_t kMorning = 0;
    static constexpr int32_t kNoon = 1;
    static constexpr int32_t kAfternoon = 2;
    static constexpr int32_t kDayParts = 3;

    // Creates the players and sets up the first day part.
    explicit GameController(ZefDX* engine);
    ~GameController() override;

    void process() override;
    void startDayPart(int32_t part);
    // `reason` is kPlaneSank or kPalmsGone; a palm reason leaves a countdown
    // already running as it is.
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
    int32_t dayPart = kMorning;
    bool hadFocus = true;  // the window's focus at the last frame
    bool pauseAsked = false;

  private:
    bool pauseWanted();
    void showTitleCard();
    void centreView();
    void runTransition();
};
