#pragma once
#include <cstdint>

#include "engine/zef_base.h"

class ZefInput;

// The set-up screen: who plays each side, war days, palm trees, start and quit.
// Its settings stay here between matches.
class MMenu : public ZefBase {
  public:
    explicit MMenu(ZefDX* owner);

    void process() override;

    int32_t selectedRow = 0;
    int32_t arrowX = 320;
    int32_t arrowY = 240;
    int32_t isComputer[2] = {1, 0};
    int32_t strength[2] = {3, 3};  // of each computer side, 1 to 5
    int32_t warDays = 5;
    int32_t palmTrees = 3;

  private:
    void playClick();
    void changeSelectedValue(int32_t delta);
    void chooseStrength(ZefInput* input);
    void draw();
    void startMatch();
    bool controlsOffered() const;
};
