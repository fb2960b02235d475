#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// One link to one other machine: whole messages, delivered reliably and in
// order or, when asked, once at most in any order; and word of the partner
// arriving or leaving.
class Transport {
  public:
    // Busy: the host turned us away, as it plays with someone else.
    enum class Event { None, Connected, Message, Disconnected, Busy };

    virtual ~Transport() = default;
    // Waits up to `timeoutMs` for the next event; a message's bytes are put
    // in `message`. Also sends whatever was queued. None when nothing came.
    virtual Event poll(std::vector<uint8_t>& message, uint32_t timeoutMs) = 0;
    // Queues one message for the partner; false when there is none.
    virtual bool send(const uint8_t* data, size_t size) = 0;
    // Queues one message that may be lost, or overtake or be overtaken by
    // others, and is never sent again: for what the caller repeats itself.
    virtual bool sendUnreliable(const uint8_t* data, size_t size) = 0;
    // Tells the partner we are leaving (best effort, brief) and drops it.
    virtual void disconnect() = 0;
    // How long the partner may leave our messages unacknowledged before it
    // counts as gone (a Disconnected event).
    virtual void setPartnerTimeout(uint32_t ms) = 0;
};

// ENet over UDP (IPv4). Channel 0, reliable and ordered, channel 2
// unsequenced for the unreliable messages; the partner is
// declared gone after 5 seconds without an acknowledgement unless told
// otherwise. Every datagram carries a hash keyed with random values the two
// ends exchange when they meet, so that datagrams forged from the partner's
// address are dropped. Listening, a caller that sends no message within 2
// seconds is let go, and callers beyond the partner are turned away (Busy).
struct EnetLink {
    std::unique_ptr<Transport> transport;
    uint16_t port = 0;  // the port bound (listening side)
    std::string error;  // one line when transport is null
};
// Listens on `port` of every interface (0: any free port; tests use it on
// loopback) for one partner. Returns at once; the partner's arrival is a
// Connected event.
EnetLink enetListen(uint16_t port, const std::string& bindHost = "");
// Connects to host:port and waits up to `timeoutMs` for the answer. The
// error lines: "HOST: no such host", "no answer from HOST:PORT",
// "HOST: IPv6 is not supported ...". `watching`: as a spectator.
EnetLink enetConnect(const std::string& host, uint16_t port, uint32_t timeoutMs,
                     bool watching = false);

class Clock;

// How a memory link carries a message: it arrives `latencyMs` plus up to
// `jitterMs` after it is sent; `lossPercent` of sends are lost. A reliable
// one is resent `resendMs` later, as a reliable link does, and overtakes
// nothing reliable sent before it; an unreliable one is simply gone, and
// arrives whenever its draw says. The draws come from `seed`: the same sends
// arrive the same way.
struct LinkConditions {
    uint32_t latencyMs = 0;
    uint32_t jitterMs = 0;
    uint32_t lossPercent = 0;
    uint32_t resendMs = 200;
    uint32_t seed = 1;
};

// Two linked ends in memory, already connected: the test twin of a network
// link. Time is `clock`'s: a poll that waits sleeps on it, so a virtual
// clock makes every wait instant; both ends belong to one thread.
std::pair<std::unique_ptr<Transport>, std::unique_ptr<Transport>> memoryLinkPair(
    Clock& clock, const LinkConditions& conditions = {});

}  // namespace platform
