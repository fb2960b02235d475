#include "engine/frame_pacer.h"

#include "engine/hires_clock.h"

namespace {
int32_t wrapAdd(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) + uint32_t(b));
}
int32_t wrapSub(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) - uint32_t(b));
}
}  // namespace

void FramePacer::start(int32_t period) {
    startMs = clock_->nowMs();
    periodMs = period;
}

void FramePacer::wait() {
    int32_t remaining = wrapSub(wrapAdd(startMs, periodMs), clock_->nowMs());
    if (remaining > 0) clock_->sleepMs(remaining);
    // The next period starts when the wait ends: an overrun is not made up.
    startMs = clock_->nowMs();
}

int32_t FramePacer::elapsed() const {
    return wrapSub(clock_->nowMs(), startMs);
}
