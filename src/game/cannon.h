#pragma once
#include <cstdint>

#include "game/vehicle.h"

// The defender's gun on its island: turns within the upper half circle, sets
// its power between 10 and 20 and fires shells.
class Cannon : public Vehicle {
  public:
    Cannon(ZefDX* owner, int32_t side);

    void process() override;
    // The computer opponent's aim, power and fire decisions.
    void think() override;

    // The picture of the cannon chain for a heading (0 points left, 16 up, 32 right).
    static int32_t pictureFor(int32_t heading);

  private:
    // The stronger computer: aims where a falling shell meets the plane.
    void thinkAhead(const Vehicle& enemy);
};
