#pragma once
// Two machines in one thread on one virtual clock. Each has a plan of steps
// (a key read, a greeting, a start); whenever the running machine waits on
// the clock, the other takes its next step first, then the time passes. A
// step taken so must not wait for the machine under it, which cannot move
// until it returns: `mayNest` says when it would not.
#include <cstdint>
#include <deque>
#include <functional>
#include <stdexcept>

#include "platform/system.h"

class TakingTurns : public platform::Clock {
  public:
    // The joining machine moves first in every round: it calls and waits,
    // and the host answers while it waits.
    enum Machine { kJoin = 0, kHost = 1 };

    void plan(Machine machine, std::function<void()> step,
              std::function<bool()> mayNest = nullptr) {
        steps_[machine].push_back({std::move(step), std::move(mayNest)});
    }
    // Runs both plans to their end.
    void run() {
        while (!steps_[kJoin].empty() || !steps_[kHost].empty()) {
            step(kJoin);
            step(kHost);
        }
    }

    uint64_t counter() override { return nowMs_; }
    uint64_t counterFrequency() override { return 1000; }
    void sleepMs(uint32_t ms) override {
        // A machine already in a step waits on; the time only passes.
        for (Machine m : {kJoin, kHost}) {
            if (running_[m] || steps_[m].empty()) continue;
            const Step& next = steps_[m].front();
            if (!next.mayNest || next.mayNest()) step(m);
            break;
        }
        nowMs_ += ms;
        // A plan whose machines wait on each other would never end.
        if (nowMs_ > kLimitMs) throw std::runtime_error("the machines wait on each other");
    }
    int64_t calendarSeconds() override { return 0; }

  private:
    static constexpr uint64_t kLimitMs = 3600 * 1000;
    struct Step {
        std::function<void()> run;
        std::function<bool()> mayNest;
    };

    void step(Machine m) {
        if (running_[m] || steps_[m].empty()) return;
        const std::function<void()> next = std::move(steps_[m].front().run);
        steps_[m].pop_front();
        running_[m] = true;
        next();
        running_[m] = false;
    }

    uint64_t nowMs_ = 1000;
    std::deque<Step> steps_[2];
    bool running_[2] = {false, false};
};
