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

    bool lost() { return conditions.lossPercent != 0 && draws() % 100 < conditions.lossPercent; }

    void carry(int to, std::vector<uint8_t> bytes, bool reliable) {
        uint64_t due = clock.milliseconds() + conditions.latencyMs;
        if (conditions.jitterMs != 0) due += draws() % (conditions.jitterMs + 1);
        if (reliable) {
            while (lost()) due += conditions.resendMs;
            // In order: a message waits for the one sent before it.
            due = std::max(due, lastReliableDue[to]);
            lastReliableDue[to] = due;
        } else if (lost()) {
            return;
        }
        auto& queue = toEnd[to];
        auto at = std::upper_bound(queue.begin(), queue.end(), due,
                                   [](uint64_t d, const InFlight& f) { return d < f.dueMs; });
        queue.insert(at, {due, std::move(bytes)});
    }

    Clock& clock;
    LinkConditions conditions;
    std::mt19937 draws;
    std::deque<InFlight> toEnd[2];  // by arrival
    uint64_t lastReliableDue[2] = {0, 0};
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

    bool send(const uint8_t* data, size_t size) override { return carry(data, size, true); }
    bool sendUnreliable(const uint8_t* data, size_t size) override {
        return carry(data, size, false);
    }

    // Memory never goes silent: only disconnect() ends the link.
    void setPartnerTimeout(uint32_t) override {}

    void disconnect() override {
        wire_->open = false;
        gone_ = true;
    }

  private:
    bool carry(const uint8_t* data, size_t size, bool reliable) {
        if (!wire_->open) return false;
        wire_->carry(1 - end_, std::vector<uint8_t>(data, data + size), reliable);
        return true;
    }

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
