#include <algorithm>
#include <deque>
#include <random>

#include "platform/system.h"
#include "platform/transport.h"

namespace platform {

namespace {

struct InFlight {
    uint64_t dueMs;
    std::vector<uint8_t> bytes;
};

// What both ends share: the messages on their way to each end.
struct Wire {
    Wire(Clock& clock, const LinkConditions& conditions)
        : clock(clock), conditions(conditions), draws(conditions.seed) {}

    uint64_t arrival(int to) {
        uint64_t due = clock.milliseconds() + conditions.latencyMs;
        if (conditions.jitterMs != 0) due += draws() % (conditions.jitterMs + 1);
        while (conditions.lossPercent != 0 && draws() % 100 < conditions.lossPercent)
            due += conditions.resendMs;
        // In order: a message waits for the one sent before it.
        if (!toEnd[to].empty()) due = std::max(due, toEnd[to].back().dueMs);
        return due;
    }

    Clock& clock;
    LinkConditions conditions;
    std::mt19937 draws;
    std::deque<InFlight> toEnd[2];
    bool open = true;
};

class MemoryTransport : public Transport {
  public:
    MemoryTransport(std::shared_ptr<Wire> wire, int end) : wire_(std::move(wire)), end_(end) {}
    ~MemoryTransport() override { disconnect(); }

    Event poll(std::vector<uint8_t>& message, uint32_t timeoutMs) override {
        if (gone_) return Event::None;
        Clock& clock = wire_->clock;
        auto& inbox = wire_->toEnd[end_];
        const uint64_t until = clock.milliseconds() + timeoutMs;
        for (;;) {
            const uint64_t now = clock.milliseconds();
            if (!inbox.empty() && inbox.front().dueMs <= now) {
                message = std::move(inbox.front().bytes);
                inbox.pop_front();
                return Event::Message;
            }
            // What was sent before the partner left still arrives first.
            if (!wire_->open && inbox.empty()) {
                gone_ = true;
                return Event::Disconnected;
            }
            if (now >= until) return Event::None;
            const uint64_t wake = inbox.empty() ? until : std::min(until, inbox.front().dueMs);
            clock.sleepMs(uint32_t(wake - now));
        }
    }

    bool send(const uint8_t* data, size_t size) override {
        if (!wire_->open) return false;
        const int to = 1 - end_;
        wire_->toEnd[to].push_back({wire_->arrival(to), std::vector<uint8_t>(data, data + size)});
        return true;
    }

    // Memory never goes silent: only disconnect() ends the link.
    void setPartnerTimeout(uint32_t) override {}

    void disconnect() override {
        wire_->open = false;
        gone_ = true;
    }

  private:
    std::shared_ptr<Wire> wire_;
    int end_;
    bool gone_ = false;
};

}  // namespace

std::pair<std::unique_ptr<Transport>, std::unique_ptr<Transport>> memoryLinkPair(
    Clock& clock, const LinkConditions& conditions) {
    auto wire = std::make_shared<Wire>(clock, conditions);
    return {std::make_unique<MemoryTransport>(wire, 0), std::make_unique<MemoryTransport>(wire, 1)};
}

}  // namespace platform
