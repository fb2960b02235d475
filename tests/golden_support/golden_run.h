#pragma once
// Runs a recording on the headless backend with the build's generated
// Kestova.dat, and reports every presented frame: the game's state, the
// virtual time, the key reads so far, the picture's hash and the hash of the
// sound mixed since the frame before.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "golden_support/state_snapshot.h"
#include "services/recording.h"

namespace golden {

// The golden runs are recordings in the game's own format.
using replay::KeyChange;
using replay::keyCodeOf;
using replay::readRecording;
using replay::Recording;
using replay::writeRecording;

struct RunHooks {
    // Recording: decides the keys of each read; the run writes the changes
    // into the recording. Returns true once a match recording is complete.
    std::function<bool(int read, uint8_t held[256])> driver;
    // Every presented frame; returns false to stop the run (a mismatch).
    std::function<bool(size_t index, const Snapshot& frame)> onFrame;
    // Match runs: the top of every frame of the main loop, with the key reads
    // so far; returns false to end the run there.
    std::function<bool(int reads)> onFrameStart;
};

// Returns the program's exit code (match runs: 0). Stopping a whole-program
// run early ends the process through F10, after the hooks have spoken.
int runRecording(Recording& recording, const RunHooks& hooks);

// While onFrame runs: the picture being presented, 640x480 5-6-5.
std::vector<uint16_t> presentedPixels();

// The golden files' folder in the source tree.
std::string goldenDir();

}  // namespace golden
