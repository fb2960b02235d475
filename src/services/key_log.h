#pragma once
// Adds reads to a recording one at a time, as the key changes and pad marks
// a recording keeps, knowing the keys held after the last read.
#include <cstdint>

#include "services/recording.h"

namespace replay {

class KeyLog {
  public:
    // Learns the keys held after the recording's last read.
    explicit KeyLog(Recording& recording);
    // One more read: its held keys and the keys a pad marked as held before
    // it (0x80 each).
    void append(const uint8_t keys[256], const uint8_t marks[256]);

  private:
    Recording& rec_;
    uint8_t held_[256] = {};
};

}  // namespace replay
