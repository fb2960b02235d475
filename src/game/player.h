#pragma once
#include <cstdint>

#include "engine/zef_base.h"

class Island;
class Palm;

// One side of the match: its island, palm trees and points.
class Player : public ZefBase {
  public:
    static constexpr int32_t kMaxPalms = 10;

    Player(ZefDX* owner, int32_t side, bool computer);
    ~Player() override;

    void process() override;
    // Deletes the palms and plants the menu's number of new ones on the island.
    void plantPalms();
    // True while none of the planted palms is standing.
    bool allPalmsHit() const;

    int32_t side;
    int32_t points = 0;
    bool computer;
    int32_t strength = 3;  // of the computer, 1 to 5 (the menu's)
    Island* island = nullptr;
    Palm* palms[kMaxPalms] = {};
    // How many palms the last planting made; the menu may change its count
    // while this player still exists, so the player keeps its own.
    int32_t palmCount = 0;
};

// The number of palms the menu asks for, 1 to 10 (3 until a menu exists).
int32_t menuPalmCount();
