#pragma once
#include <cstdint>

class HiResClock;

// A start time and a period; wait() sleeps out what is left of the period.
// All millisecond arithmetic wraps in 32 bits.
class FramePacer {
  public:
    explicit FramePacer(const HiResClock& clock) : clock_(&clock) {}
    void start(int32_t period);
    void wait();
    int32_t elapsed() const;

    int32_t startMs = 0;
    int32_t periodMs = 0;

  private:
    const HiResClock* clock_;
};
