#include <deque>
#include <map>

#include "platform/system.h"
#include "platform/watch_seats.h"

namespace platform {

namespace {

struct Seat {
    std::deque<std::vector<uint8_t>> toSpectator;
    size_t unacknowledged = 0;
    bool open = true;  // neither side let go
    bool refused = false;
};

struct Room {
    explicit Room(Clock& clock) : clock(clock) {}
    Clock& clock;
    std::map<int, Seat> seats;
    struct Queued {
        WatchSeats::Event event;
        int seat;
        std::vector<uint8_t> message;
    };
    std::deque<Queued> events;
    int nextSeat = 0;
};

class SpectatorEnd : public Transport {
  public:
    SpectatorEnd(std::shared_ptr<Room> room, int seat) : room_(std::move(room)), seat_(seat) {}
    ~SpectatorEnd() override { disconnect(); }

    Event poll(std::vector<uint8_t>& message, uint32_t timeoutMs) override {
        Seat& seat = room_->seats[seat_];
        if (!seat.toSpectator.empty()) {
            message = std::move(seat.toSpectator.front());
            seat.toSpectator.pop_front();
            seat.unacknowledged -= message.size();
            return Event::Message;
        }
        if (!seat.open && !gone_) {
            gone_ = true;
            return seat.refused ? Event::Busy : Event::Disconnected;
        }
        room_->clock.sleepMs(timeoutMs);
        return Event::None;
    }

    bool send(const uint8_t* data, size_t size) override {
        if (!room_->seats[seat_].open) return false;
        room_->events.push_back(
            {WatchSeats::Event::Message, seat_, std::vector<uint8_t>(data, data + size)});
        return true;
    }

    // A spectator's few messages all matter: memory loses none.
    bool sendUnreliable(const uint8_t* data, size_t size) override { return send(data, size); }

    void disconnect() override {
        Seat& seat = room_->seats[seat_];
        if (seat.open) room_->events.push_back({WatchSeats::Event::Left, seat_, {}});
        seat.open = false;
        gone_ = true;
    }

    void setPartnerTimeout(uint32_t) override {}

  private:
    std::shared_ptr<Room> room_;
    int seat_;
    bool gone_ = false;
};

class MemorySeats : public MemoryWatchSeats {
  public:
    explicit MemorySeats(Clock& clock) : room_(std::make_shared<Room>(clock)) {}

    std::unique_ptr<Transport> connect() override {
        const int seat = room_->nextSeat++;
        room_->seats[seat];
        room_->events.push_back({Event::Joined, seat, {}});
        return std::make_unique<SpectatorEnd>(room_, seat);
    }

    Event next(int& seat, std::vector<uint8_t>& message) override {
        if (room_->events.empty()) return Event::None;
        Room::Queued q = std::move(room_->events.front());
        room_->events.pop_front();
        seat = q.seat;
        message = std::move(q.message);
        return q.event;
    }

    bool send(int seat, const uint8_t* data, size_t size) override {
        auto s = room_->seats.find(seat);
        if (s == room_->seats.end() || !s->second.open) return false;
        s->second.toSpectator.emplace_back(data, data + size);
        s->second.unacknowledged += size;
        return true;
    }

    size_t unacknowledged(int seat) const override {
        auto s = room_->seats.find(seat);
        return s == room_->seats.end() ? 0 : s->second.unacknowledged;
    }

    void release(int seat) override { room_->seats[seat].open = false; }

    void refuse(int seat) override {
        Seat& s = room_->seats[seat];
        s.open = false;
        s.refused = true;
        s.toSpectator.clear();
    }

    void flush() override {}

  private:
    std::shared_ptr<Room> room_;
};

}  // namespace

std::unique_ptr<MemoryWatchSeats> memoryWatchSeats(Clock& clock) {
    return std::make_unique<MemorySeats>(clock);
}

}  // namespace platform
