#pragma once
// The players behind the golden recordings: each scenario's menu settings
// and a driver that presses keys by what it sees of the game. Their keys are
// recorded once; replays need only the recording.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "golden_support/golden_run.h"

namespace golden {

using Driver = std::function<bool(int read, uint8_t held[256])>;

struct Scenario {
    std::string name;
    Recording setup;
    // Builds a fresh driver; `presents` counts the frames presented so far.
    std::function<Driver(const size_t* presents)> makeDriver;
};

const std::vector<Scenario>& scenarios();

}  // namespace golden
