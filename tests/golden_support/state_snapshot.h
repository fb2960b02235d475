#pragma once
// The game's state at one presented frame, as named fields with exact values:
// what a golden trace stores and compares.
#include <string>
#include <utility>
#include <vector>

namespace golden {

using Field = std::pair<std::string, std::string>;
using Snapshot = std::vector<Field>;

// Walks the main window (Form1): generator, view, the screens in the engine's
// list, and of a listed match its players, palms, vehicles, projectiles,
// splashes and explosions. Pictures are named by chain and index, never by
// address, so that two runs compare.
Snapshot snapshotGame();

}  // namespace golden
