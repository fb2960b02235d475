#pragma once
// The tournament's command line.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct TournamentOptions {
    int32_t matches = 200;  // per pairing
    int32_t warDays = 1;
    int32_t palmTrees = 3;
    uint64_t seed = 1;
    // (stronger, weaker); every pairing of two different strengths when empty.
    std::vector<std::pair<int32_t, int32_t>> pairs;
    bool help = false;
};

// False with `error` naming what is wrong.
bool parseOptions(int argc, char** argv, TournamentOptions& options, std::string& error);

extern const char* const kTournamentUsage;
