#include "engine/hires_clock.h"

#include "platform/system.h"

HiResClock::HiResClock(platform::Clock& source) : source_(&source) {
    uint64_t frequency = source.counterFrequency();
    if (frequency != 0) {
        secondsPerTick = 1.0 / double(frequency);
        valid = true;
    }
}

int32_t HiResClock::nowMs() const {
    uint64_t ticks = source_->counter();
    if (!valid) return int32_t(uint32_t(ticks));  // the source then counts milliseconds
    // Extended precision, truncated into 64 bits; the low 32 bits are the answer.
    long double ms = (long double)ticks * (long double)secondsPerTick * 1000.0L;
    return int32_t(uint32_t(uint64_t(int64_t(ms))));
}

void HiResClock::sleepMs(int32_t ms) const {
    if (ms > 0) source_->sleepMs(uint32_t(ms));
}
