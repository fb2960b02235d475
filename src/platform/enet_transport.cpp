#include <enet/enet.h>

#include <chrono>
#include <cstring>
#include <mutex>

#include "platform/transport.h"

namespace platform {

namespace {

// Channel 0 carries everything, reliable and ordered.
constexpr size_t kChannels = 1;
// The partner is gone when 5 seconds pass without an acknowledgement.
constexpr enet_uint32 kTimeoutMs = 5000;

bool enetReady() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = enet_initialize() == 0; });
    return ok;
}

class EnetTransport : public Transport {
  public:
    explicit EnetTransport(ENetHost* host, ENetPeer* peer = nullptr) : host_(host), peer_(peer) {}
    ~EnetTransport() override {
        disconnect();
        enet_host_destroy(host_);
    }

    Event poll(std::vector<uint8_t>& message, uint32_t timeoutMs) override {
        ENetEvent event;
        int got = enet_host_service(host_, &event, timeoutMs);
        if (got <= 0) return Event::None;
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                if (peer_ != nullptr && peer_ != event.peer) {
                    // One partner only; a second caller is turned away.
                    enet_peer_disconnect_now(event.peer, 0);
                    return Event::None;
                }
                peer_ = event.peer;
                enet_peer_timeout(peer_, 0, timeoutMs_, timeoutMs_);
                return Event::Connected;
            case ENET_EVENT_TYPE_RECEIVE:
                message.assign(event.packet->data, event.packet->data + event.packet->dataLength);
                enet_packet_destroy(event.packet);
                return event.peer == peer_ ? Event::Message : Event::None;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (event.peer != peer_) return Event::None;
                peer_ = nullptr;
                return Event::Disconnected;
            default:
                return Event::None;
        }
    }

    void setPartnerTimeout(uint32_t ms) override {
        timeoutMs_ = ms;
        if (peer_ != nullptr) enet_peer_timeout(peer_, 0, timeoutMs_, timeoutMs_);
    }

    bool send(const uint8_t* data, size_t size) override {
        if (peer_ == nullptr) return false;
        ENetPacket* packet = enet_packet_create(data, size, ENET_PACKET_FLAG_RELIABLE);
        if (packet == nullptr) return false;
        if (enet_peer_send(peer_, 0, packet) != 0) {
            enet_packet_destroy(packet);
            return false;
        }
        return true;
    }

    void disconnect() override {
        if (peer_ == nullptr) return;
        // A polite goodbye, then a short wait for it to be acknowledged so
        // the partner learns at once rather than after its timeout.
        enet_peer_disconnect_later(peer_, 0);
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        ENetEvent event;
        while (std::chrono::steady_clock::now() < until) {
            event.type = ENET_EVENT_TYPE_NONE;
            if (enet_host_service(host_, &event, 20) < 0) break;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
            if (event.type == ENET_EVENT_TYPE_DISCONNECT) {
                peer_ = nullptr;
                return;
            }
        }
        enet_peer_reset(peer_);
        peer_ = nullptr;
    }

  private:
    ENetHost* host_;
    ENetPeer* peer_;
    enet_uint32 timeoutMs_ = kTimeoutMs;
};

std::string hostPort(const std::string& host, uint16_t port) {
    return host + ":" + std::to_string(port);
}

}  // namespace

EnetLink enetListen(uint16_t port, const std::string& bindHost) {
    EnetLink link;
    if (!enetReady()) {
        link.error = "network: cannot start ENet";
        return link;
    }
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    address.port = port;
    if (!bindHost.empty() && enet_address_set_host(&address, bindHost.c_str()) != 0) {
        link.error = bindHost + ": no such host";
        return link;
    }
    ENetHost* host = enet_host_create(&address, 1, kChannels, 0, 0);
    if (host == nullptr) {
        link.error = "cannot listen on port " + std::to_string(port) + " (is it in use?)";
        return link;
    }
    ENetAddress bound;
    if (enet_socket_get_address(host->socket, &bound) == 0) link.port = bound.port;
    link.transport = std::make_unique<EnetTransport>(host);
    return link;
}

EnetLink enetConnect(const std::string& hostName, uint16_t port, uint32_t timeoutMs) {
    EnetLink link;
    if (!enetReady()) {
        link.error = "network: cannot start ENet";
        return link;
    }
    ENetAddress address;
    if (enet_address_set_host(&address, hostName.c_str()) != 0) {
        link.error = hostName + ": no such host";
        return link;
    }
    address.port = port;
    ENetHost* host = enet_host_create(nullptr, 1, kChannels, 0, 0);
    if (host == nullptr) {
        link.error = "network: cannot open a UDP socket";
        return link;
    }
    ENetPeer* peer = enet_host_connect(host, &address, kChannels, 0);
    if (peer == nullptr) {
        enet_host_destroy(host);
        link.error = "network: cannot start a connection";
        return link;
    }
    ENetEvent event;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < until) {
        event.type = ENET_EVENT_TYPE_NONE;
        if (enet_host_service(host, &event, 50) > 0 && event.type == ENET_EVENT_TYPE_CONNECT) {
            enet_peer_timeout(peer, 0, kTimeoutMs, kTimeoutMs);
            link.transport = std::make_unique<EnetTransport>(host, peer);
            return link;
        }
        if (event.type == ENET_EVENT_TYPE_DISCONNECT) break;
    }
    enet_peer_reset(peer);
    enet_host_destroy(host);
    link.error = "no answer from " + hostPort(hostName, port);
    return link;
}

}  // namespace platform
