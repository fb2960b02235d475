#pragma once
#include <cstdint>

#include "engine/sprite.h"

// A player's island: scenery, drawn centred on (side * 1000 + 320, 360).
class Island : public Sprite {
  public:
    Island(ZefDX* owner, int32_t side);

    int32_t side;
};
