#pragma once
// The game's state as named fields with exact values: what the golden traces
// store and compare, and what two networked machines hash to prove they
// still play the same game.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using StateField = std::pair<std::string, std::string>;
using StateFields = std::vector<StateField>;

// Walks the main window (Form1): generator, view, the screens in the engine's
// list, and of a listed match its players, palms, vehicles, projectiles,
// splashes and explosions. Pictures are named by chain and index, never by
// address, so that two runs compare. Without fireworks: the bursts an end
// screen left in the engine's list, which touch nothing else and which a
// replay started from the menu does not have.
StateFields stateFields(bool withFireworks = true);

// One 64-bit hash of stateFields().
uint64_t stateDigest(bool withFireworks = true);
