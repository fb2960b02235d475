#pragma once
#include <cstdint>

#include "engine/sprite.h"

// A palm tree: a target for bombs. Once hit it plays the rest of the palm
// chain one picture per frame and rests on the last (destroyed) picture.
class Palm : public Sprite {
  public:
    Palm(ZefDX* owner, int32_t x, int32_t y, bool mirrored);

    void process() override;

    bool hit = false;
    int32_t pictureIndex = 0;
};
