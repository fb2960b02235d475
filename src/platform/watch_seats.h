#pragma once
// Spectators on a listening link: callers that come to watch rather than to
// play, each known by a seat number. The link's owner serves the socket (its
// polls queue what concerns the seats); whoever feeds the spectators takes
// those events here and never waits on them.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "platform/transport.h"

namespace platform {

class Clock;

class WatchSeats {
  public:
    enum class Event { None, Joined, Message, Left };

    virtual ~WatchSeats() = default;
    // The next queued event, at once; `seat` says whose.
    virtual Event next(int& seat, std::vector<uint8_t>& message) = 0;
    // Queues one message for a seat; false when the seat is empty.
    virtual bool send(int seat, const uint8_t* data, size_t size) = 0;
    // Bytes sent to the seat that it has not acknowledged yet.
    virtual size_t unacknowledged(int seat) const = 0;
    // Lets a spectator go once what was queued for it went out.
    virtual void release(int seat) = 0;
    // Turns a caller away as a busy host does.
    virtual void refuse(int seat) = 0;
    // Sends what is queued now, without waiting for anything.
    virtual void flush() = 0;
};

// The seats of an ENet link made by enetListen; null for any other link.
// Spectators connect with enetConnect(..., watching = true).
WatchSeats* watchSeatsOf(Transport& link);

// Seats in memory for tests, with the spectators' ends of their links: a
// message counts as acknowledged once the spectator polled it, so one that
// stops polling piles up unacknowledged data.
class MemoryWatchSeats : public WatchSeats {
  public:
    virtual std::unique_ptr<Transport> connect() = 0;
};
std::unique_ptr<MemoryWatchSeats> memoryWatchSeats(Clock& clock);

}  // namespace platform
