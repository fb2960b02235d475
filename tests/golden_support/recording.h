#pragma once
// A recorded run: the seed, the menu's settings and every key change, by the
// number of the key read it happens at. Kilobytes of text, replayed headless.
#include <cstdint>
#include <string>
#include <vector>

namespace golden {

struct KeyChange {
    int read = 0;  // the read (from 0) from which the key is down or up
    int code = 0;  // DirectInput-style key code
    bool down = false;
};

struct Recording {
    // "program": the whole program from activation to exit.
    // "match": loaded assets, the menu set as below, then the main loop.
    std::string kind = "match";
    int64_t seed = 0;  // calendar seconds the generator is seeded with
    // isComputer left, isComputer right, war days, palm trees, selected row.
    int menu[5] = {1, 0, 5, 3, 0};
    int reads = 0;  // key reads of the whole run
    std::vector<KeyChange> changes;
};

// Reads a recording; on failure returns false with the line and what is wrong.
bool readRecording(const std::string& path, Recording& out, std::string& error);
bool writeRecording(const std::string& path, const Recording& recording, std::string& error);

// The key code of a DirectInput name such as "DIK_RETURN"; -1 if none.
int keyCodeOf(const std::string& name);

}  // namespace golden
