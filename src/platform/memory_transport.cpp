#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/transport.h"

namespace platform {

namespace {

// What both ends share: one queue of messages per direction.
struct Wire {
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<std::vector<uint8_t>> toEnd[2];
    bool open = true;
};

class MemoryTransport : public Transport {
  public:
    MemoryTransport(std::shared_ptr<Wire> wire, int end) : wire_(std::move(wire)), end_(end) {}
    ~MemoryTransport() override { disconnect(); }

    Event poll(std::vector<uint8_t>& message, uint32_t timeoutMs) override {
        std::unique_lock<std::mutex> lock(wire_->mutex);
        if (gone_) return Event::None;
        auto& inbox = wire_->toEnd[end_];
        wire_->arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [&] { return !inbox.empty() || !wire_->open; });
        if (!inbox.empty()) {
            message = std::move(inbox.front());
            inbox.pop_front();
            return Event::Message;
        }
        if (!wire_->open) {
            gone_ = true;
            return Event::Disconnected;
        }
        return Event::None;
    }

    bool send(const uint8_t* data, size_t size) override {
        std::lock_guard<std::mutex> lock(wire_->mutex);
        if (!wire_->open) return false;
        wire_->toEnd[1 - end_].emplace_back(data, data + size);
        wire_->arrived.notify_all();
        return true;
    }

    // Memory never goes silent: only disconnect() ends the link.
    void setPartnerTimeout(uint32_t) override {}

    void disconnect() override {
        std::lock_guard<std::mutex> lock(wire_->mutex);
        wire_->open = false;
        gone_ = true;
        wire_->arrived.notify_all();
    }

  private:
    std::shared_ptr<Wire> wire_;
    int end_;
    bool gone_ = false;
};

}  // namespace

std::pair<std::unique_ptr<Transport>, std::unique_ptr<Transport>> memoryLinkPair() {
    auto wire = std::make_shared<Wire>();
    return {std::make_unique<MemoryTransport>(wire, 0), std::make_unique<MemoryTransport>(wire, 1)};
}

}  // namespace platform
