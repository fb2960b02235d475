#pragma once
// Machines on threads of their own on one virtual clock: one runs at a time,
// and time passes when all sleep, to the earliest wake (the first on a tie):
// machines that pace their frames run side by side, the same every run.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/system.h"

class SharedTime : public platform::Clock {
  public:
    // Runs every body on a thread of its own until all have returned.
    void run(const std::vector<std::function<void()>>& bodies) {
        wake_.assign(bodies.size(), nowMs_);
        runner_ = 0;
        std::vector<std::thread> threads;
        for (size_t i = 0; i < bodies.size(); ++i) {
            threads.emplace_back([this, i, &bodies] {
                self_ = i;
                sleepMs(kFirst);
                bodies[i]();
                std::lock_guard<std::mutex> lock(mutex_);
                passOn(kDone);
            });
        }
        for (std::thread& t : threads) t.join();
    }
    void sleepMs(uint32_t ms) override {
        std::unique_lock<std::mutex> lock(mutex_);
        if (ms != kFirst) passOn(nowMs_ + ms);
        turn_.wait(lock, [this] { return runner_ == self_; });
    }
    uint64_t counter() override { return nowMs_; }
    uint64_t counterFrequency() override { return 1000; }
    int64_t calendarSeconds() override { return 0; }

  private:
    static constexpr uint64_t kDone = UINT64_MAX;
    static constexpr uint32_t kFirst = UINT32_MAX;  // a machine's first turn
    // Under the lock: this machine wakes at `wake`, the earliest runs next.
    void passOn(uint64_t wake) {
        wake_[self_] = wake;
        runner_ = 0;
        for (size_t i = 1; i < wake_.size(); ++i) runner_ = wake_[i] < wake_[runner_] ? i : runner_;
        if (wake_[runner_] != kDone && wake_[runner_] > nowMs_) nowMs_ = wake_[runner_];
        turn_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable turn_;
    std::vector<uint64_t> wake_;
    size_t runner_ = 0;
    uint64_t nowMs_ = 1000;
    static inline thread_local size_t self_ = 0;
};
