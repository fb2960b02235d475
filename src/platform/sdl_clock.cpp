#include <chrono>
#include <ctime>
#include <thread>

#include "platform/sdl_backend.h"

namespace platform {

// Nanoseconds of a monotonic clock: the performance counter's job.
uint64_t SdlClock::counter() {
    return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

uint64_t SdlClock::counterFrequency() {
    return 1000000000ull;
}

void SdlClock::sleepMs(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int64_t SdlClock::calendarSeconds() {
    return int64_t(std::time(nullptr));
}

}  // namespace platform
