#pragma once
// Machines on threads of their own sharing one virtual clock: exactly one
// runs at a time, and time passes only when all of them sleep, to the
// earliest wake (the first machine first on a tie). So machines that pace
// their frames and wait on a link run as they would side by side, the same
// way on every run, and a minute of play takes a moment.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/system.h"

class SharedTime : public platform::Clock {
  public:
    // Runs every body on its own thread until all have returned.
    void run(const std::vector<std::function<void()>>& bodies) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            wake_.assign(bodies.size(), nowMs_);
            done_.assign(bodies.size(), false);
            runner_ = 0;
        }
        std::vector<std::thread> threads;
        for (size_t i = 0; i < bodies.size(); ++i) {
            threads.emplace_back([this, i, &bodies] {
                self_ = int(i);
                awaitTurn();
                bodies[i]();
                std::lock_guard<std::mutex> lock(mutex_);
                done_[i] = true;
                passOn();
            });
        }
        for (std::thread& t : threads) t.join();
    }

    uint64_t counter() override { return nowMs_; }
    uint64_t counterFrequency() override { return 1000; }
    void sleepMs(uint32_t ms) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            wake_[size_t(self_)] = nowMs_ + ms;
            passOn();
        }
        awaitTurn();
    }
    int64_t calendarSeconds() override { return 0; }

  private:
    void awaitTurn() {
        std::unique_lock<std::mutex> lock(mutex_);
        turn_.wait(lock, [this] { return runner_ == self_; });
    }
    // Under the lock: the earliest sleeper runs next.
    void passOn() {
        int next = -1;
        for (size_t i = 0; i < wake_.size(); ++i) {
            if (!done_[i] && (next < 0 || wake_[i] < wake_[size_t(next)])) next = int(i);
        }
        runner_ = next;
        if (next >= 0 && wake_[size_t(next)] > nowMs_) nowMs_ = wake_[size_t(next)];
        turn_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable turn_;
    std::vector<uint64_t> wake_;
    std::vector<bool> done_;
    int runner_ = -1;
    uint64_t nowMs_ = 1000;
    static inline thread_local int self_ = -1;
};
