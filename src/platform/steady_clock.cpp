#include <chrono>
#include <ctime>
#include <thread>

#include "platform/system.h"

namespace platform {

namespace {

// Nanoseconds of the monotonic clock: the performance counter's job.
class SteadyClock : public Clock {
  public:
    uint64_t counter() override {
        return uint64_t(std::chrono::duration_cast<std::chrono::nanoseconds>(
                            std::chrono::steady_clock::now().time_since_epoch())
                            .count());
    }
    uint64_t counterFrequency() override { return 1000000000ull; }
    void sleepMs(uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    int64_t calendarSeconds() override { return int64_t(std::time(nullptr)); }
};

}  // namespace

Clock& steadyClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace platform
