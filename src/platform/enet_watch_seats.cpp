#include "platform/enet_watch_seats.h"

namespace platform {

namespace {

// A spectator that never reads would have its queue grow without end: the
// feed drops it long before, and this caps a queue no feed empties.
constexpr size_t kMaxQueuedEvents = 4096;

}  // namespace

bool EnetWatchSeats::take(const ENetEvent& event) {
    if (event.peer == nullptr) return false;
    const size_t index = size_t(event.peer - host_->peers);
    if (index >= host_->peerCount || index >= kPeers + 1) return false;
    Slot& slot = slots_[index];
    const int seat = int(index);
    switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            if (event.data != kWatchWord) return false;
            slot = Slot();
            slot.watcher = true;
            events_.push_back({Event::Joined, seat, {}});
            return true;
        case ENET_EVENT_TYPE_RECEIVE:
            if (!slot.watcher) return false;
            // Only the game's channel: a spectator's link sends its session
            // value on the other, which a host keeps for its partner alone.
            if (event.channelID == 0 && events_.size() < kMaxQueuedEvents) {
                events_.push_back(
                    {Event::Message, seat,
                     std::vector<uint8_t>(event.packet->data,
                                          event.packet->data + event.packet->dataLength)});
            }
            enet_packet_destroy(event.packet);
            return true;
        case ENET_EVENT_TYPE_DISCONNECT:
            if (!slot.watcher) return false;
            slot.watcher = false;
            events_.push_back({Event::Left, seat, {}});
            return true;
        default:
            return false;
    }
}

WatchSeats::Event EnetWatchSeats::next(int& seat, std::vector<uint8_t>& message) {
    if (events_.empty()) return Event::None;
    Queued q = std::move(events_.front());
    events_.pop_front();
    seat = q.seat;
    message = std::move(q.message);
    return q.event;
}

ENetPeer* EnetWatchSeats::peerOf(int seat) const {
    if (seat < 0 || size_t(seat) >= host_->peerCount || size_t(seat) > kPeers) return nullptr;
    if (!slots_[seat].watcher) return nullptr;
    return &host_->peers[seat];
}

void ENET_CALLBACK EnetWatchSeats::freed(ENetPacket* packet) {
    auto* slot = static_cast<Slot*>(packet->userData);
    if (slot == nullptr) return;
    slot->unacknowledged -= std::min(slot->unacknowledged, packet->dataLength);
}

bool EnetWatchSeats::send(int seat, const uint8_t* data, size_t size) {
    ENetPeer* peer = peerOf(seat);
    if (peer == nullptr) return false;
    ENetPacket* packet = enet_packet_create(data, size, ENET_PACKET_FLAG_RELIABLE);
    if (packet == nullptr) return false;
    // Freed once acknowledged, or dropped with the peer.
    packet->userData = &slots_[seat];
    packet->freeCallback = freed;
    if (enet_peer_send(peer, 0, packet) != 0) {
        packet->userData = nullptr;
        enet_packet_destroy(packet);
        return false;
    }
    slots_[seat].unacknowledged += size;
    return true;
}

size_t EnetWatchSeats::unacknowledged(int seat) const {
    return peerOf(seat) == nullptr ? 0 : slots_[seat].unacknowledged;
}

void EnetWatchSeats::release(int seat) {
    ENetPeer* peer = peerOf(seat);
    if (peer == nullptr) return;
    slots_[seat].watcher = false;
    enet_peer_disconnect_later(peer, 0);
}

void EnetWatchSeats::refuse(int seat) {
    ENetPeer* peer = peerOf(seat);
    if (peer == nullptr) return;
    slots_[seat].watcher = false;
    enet_peer_disconnect_now(peer, kBusyWord);
}

}  // namespace platform
