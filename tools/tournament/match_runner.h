#pragma once
// Plays a whole computer-against-computer match on the headless backend:
// the real menu starts it, the real main-loop pass runs it, unpaced on the
// virtual clock. Each match has a program of its own, so that a seed gives
// the same match whatever was played before.
#include <cstdint>

struct MatchSettings {
    int32_t warDays = 1;
    int32_t palmTrees = 3;
    int32_t frameLimit = 60000;  // a match still running then is left with Escape
};

struct MatchResult {
    int32_t points[2] = {0, 0};
    int32_t palms[2] = {0, 0};  // enemy palms each side destroyed
    int32_t frames = 0;
    bool cut = false;     // reached the frame limit
    uint64_t digest = 0;  // the game's state at the end
};

// Loads the asset set from Kestova.dat (current directory or beside the
// program) and plays one match from the menu to its end screen.
MatchResult playMatch(uint64_t seed, const int32_t strength[2], const MatchSettings& settings);
