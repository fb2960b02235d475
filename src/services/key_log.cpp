#include "services/key_log.h"

namespace replay {

KeyLog::KeyLog(Recording& recording) : rec_(recording) {
    for (uint8_t code : rec_.heldKeys) held_[code] = 0x80;
    for (const KeyChange& c : rec_.changes) held_[c.code & 0xFF] = c.down ? 0x80 : 0;
}

void KeyLog::append(const uint8_t keys[256], const uint8_t marks[256]) {
    const int read = rec_.reads;
    for (int code = 0; code < 256; ++code) {
        const uint8_t down = keys[code] & 0x80;
        if (down != held_[code]) rec_.changes.push_back({read, code, down != 0});
        held_[code] = down;
        if (marks[code] & 0x80) rec_.marks.push_back({read, code});
    }
    rec_.reads = read + 1;
}

}  // namespace replay
