#pragma once
#include <cstdint>

#include "engine/zef_base.h"

// Both scores and the winner after a match, with fireworks; a key press from
// the 21st frame on goes back to the set-up menu.
class EndScreen : public ZefBase {
  public:
    EndScreen(ZefDX* owner, int32_t leftPoints, int32_t rightPoints);

    void process() override;

    int32_t frames = 0;
    int32_t leftPoints;
    int32_t rightPoints;

  private:
    void drawScores();
    void launchFirework();
    void leave();
};
