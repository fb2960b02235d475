#pragma once
#include <cstdint>

class Vehicle;

// How well the computer plays a side, 1 (weakest) to 5. Strength 3 is the
// opponent the game always had; the others differ only through this table.
constexpr int32_t kWeakestStrength = 1;
constexpr int32_t kStrongestStrength = 5;
constexpr int32_t kUsualStrength = 3;

struct Skill {
    int32_t lookEvery;     // frames between fresh looks at the enemy
    int32_t aimError;      // steps of error drawn at each look, either way
    int32_t fireScale;     // the usual chances to fire, divided by this
    int32_t seaLookahead;  // frames ahead a plane looks for the sea
    bool tactics;          // leads with gravity, bombs palms, dodges, turns away
    int32_t cruiseY;       // height of the bombing runs
    int32_t dodgeRange;    // distance at which a plane dodges a shell or a gun
};

// The skill of a strength; out-of-range strengths count as the nearest one.
const Skill& skillOf(int32_t strength);
// The skill of the side the vehicle plays for in the current match.
const Skill& skillOf(const Vehicle& vehicle);
