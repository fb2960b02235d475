#pragma once
#include <cstdint>

namespace platform {
class Clock;
}

// Whole milliseconds from the platform's counter, 32-bit wrap-around.
class HiResClock {
  public:
    explicit HiResClock(platform::Clock& source);
    int32_t nowMs() const;
    void sleepMs(int32_t ms) const;  // negative or 0 sleeps nothing
    platform::Clock& source() const { return *source_; }

    double secondsPerTick = 0.0;
    bool valid = false;

  private:
    platform::Clock* source_;
};
