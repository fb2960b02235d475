#pragma once
#include <cstdint>

#include "game/vehicle.h"

// The attacker's vehicle: flies where it points, drops bombs (bullets in the
// afternoon), falls with smoke when shot down and sinks in the sea.
class Plane : public Vehicle {
  public:
    static constexpr uint8_t kFlying = 0;
    static constexpr uint8_t kFalling = 1;
    static constexpr uint8_t kSunk = 2;

    Plane(ZefDX* owner, int32_t side);

    void process() override;
    // The computer opponent's chase, roam, pull-up and fire decisions.
    void think() override;
    void takeDamage(int32_t amount) override;

    // The plane chain picture for a heading, with the second propeller
    // picture in even frames.
    static int32_t pictureFor(int32_t heading, int32_t frameCounter);
    // The engine loop's rate for an air speed.
    static uint32_t engineFrequency(double speed);

  private:
    // The stronger computer: bombing runs over the palms, leading shots,
    // dodging, turning away.
    void thinkAhead(Vehicle& enemy);
    void steer();
    void fall();
    void fire();
    void drawEnemyArrow();
    void sink();
};
