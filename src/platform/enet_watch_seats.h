#pragma once
// The spectators' seats of a listening ENet link (seen by the platform only).
// A seat is the index of its ENet peer: ENet frees every packet of a peer
// before it lets another caller have it, so the byte counts stay true.
#include <enet/enet.h>

#include <deque>

#include "platform/watch_seats.h"

namespace platform {

// Carried by a spectator's connect, and by the disconnect that turns a caller away.
constexpr enet_uint32 kWatchWord = 0x6B777463;
constexpr enet_uint32 kBusyWord = 0x6B627379;

class EnetWatchSeats : public WatchSeats {
  public:
    // Peers beyond the partner: eight spectators and room to turn more away.
    static constexpr size_t kPeers = 14;

    explicit EnetWatchSeats(ENetHost* host) : host_(host) {}

    // An event of the link's own service: true when it was a spectator's,
    // now queued here (a received packet is taken and freed).
    bool take(const ENetEvent& event);

    Event next(int& seat, std::vector<uint8_t>& message) override;
    bool send(int seat, const uint8_t* data, size_t size) override;
    size_t unacknowledged(int seat) const override;
    void release(int seat) override;
    void refuse(int seat) override;
    void flush() override { enet_host_flush(host_); }

  private:
    struct Slot {
        bool watcher = false;
        size_t unacknowledged = 0;
    };
    struct Queued {
        Event event;
        int seat;
        std::vector<uint8_t> message;
    };
    static void ENET_CALLBACK freed(ENetPacket* packet);
    ENetPeer* peerOf(int seat) const;

    ENetHost* host_;
    Slot slots_[kPeers + 1];
    std::deque<Queued> events_;
};

}  // namespace platform
