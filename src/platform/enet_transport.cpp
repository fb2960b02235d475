#include <enet/enet.h>
#include <netdb.h>
#include <sodium.h>
#include <sys/socket.h>

#include <chrono>
#include <cstring>
#include <mutex>

#include "platform/enet_watch_seats.h"
#include "platform/lan_search.h"
#include "platform/transport.h"

namespace platform {

namespace {

// Channel 0 carries the game's reliable messages, in order; channel 1 the
// link's own (the session's random values), never shown to the game;
// channel 2 the game's unreliable ones, unsequenced, so that none waits for
// a lost one.
constexpr size_t kChannels = 3;
constexpr enet_uint8 kSessionChannel = 1;
constexpr enet_uint8 kUnreliableChannel = 2;
// The partner is gone when 5 seconds pass without an acknowledgement.
constexpr enet_uint32 kTimeoutMs = 5000;
// A caller that sends nothing for this long after connecting is let go.
constexpr uint32_t kFirstWordMs = 2000;
// Listening: the partner, and room to tell a few more callers the host is
// busy; spectators have seats beside.
constexpr size_t kListenPeers = 4 + EnetWatchSeats::kPeers;
constexpr size_t kNonceBytes = 16;

bool enetReady() {
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = enet_initialize() == 0 && sodium_init() >= 0; });
    return ok;
}

uint64_t nowMs() {
    return uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

// Every datagram carries a keyed hash (SipHash) in ENet's checksum field.
// Until both sides hold the session key the key is all zero (the partner's
// connect id is mixed in, as ENet does); from then on it is derived from
// random values each side sent the other. A side switches to the session key
// once the partner acknowledged its value, and accepts the zero key from the
// partner only until the first datagram under the session key arrives.
// Callers other than the partner stay on the zero key.
struct SessionKeys {
    ENetHost* host = nullptr;
    const ENetPeer* partner = nullptr;
    unsigned char own[kNonceBytes] = {};
    unsigned char key[crypto_shorthash_KEYBYTES] = {};
    bool haveKey = false;   // the partner's value came
    bool ownHeard = false;  // the partner acknowledged ours
    bool locked = false;    // the partner sends under the session key
    bool listening = false;
    enet_uint32 verified = 0;

    bool sendKeyed() const { return haveKey && ownHeard; }
};

const unsigned char kOpenKey[crypto_shorthash_KEYBYTES] = {};

// ENet's hooks take no context: the transport being served is this thread's.
thread_local SessionKeys* serving = nullptr;

class Serving {
  public:
    explicit Serving(SessionKeys* keys) : previous_(serving) { serving = keys; }
    ~Serving() { serving = previous_; }

  private:
    SessionKeys* previous_;
};

enet_uint32 keyedHash(const unsigned char* key, const uint8_t* data, size_t size) {
    unsigned char out[crypto_shorthash_BYTES];
    crypto_shorthash(out, data, size, key);
    enet_uint32 value;
    std::memcpy(&value, out, sizeof value);
    return value;
}

// The checksum field follows the peer id and, when flagged, the sent time.
size_t checksumOffset(const uint8_t* datagram) {
    const unsigned field = unsigned(datagram[0]) << 8 | datagram[1];
    return (field & ENET_PROTOCOL_HEADER_FLAG_SENT_TIME) != 0 ? 4 : 2;
}

enet_uint32 ENET_CALLBACK checksum(const ENetBuffer* buffers, size_t count) {
    SessionKeys* keys = serving;
    // A received datagram was checked by `intercept` before ENet asks.
    if (keys != nullptr && count == 1 && buffers[0].data == keys->host->receivedData) {
        return keys->verified;
    }
    uint8_t bytes[ENET_PROTOCOL_MAXIMUM_MTU];
    size_t size = 0;
    for (size_t i = 0; i < count && size + buffers[i].dataLength <= sizeof bytes; ++i) {
        std::memcpy(bytes + size, buffers[i].data, buffers[i].dataLength);
        size += buffers[i].dataLength;
    }
    const unsigned char* key = kOpenKey;
    if (keys != nullptr && keys->sendKeyed() && size >= 6) {
        enet_uint32 connectId;
        std::memcpy(&connectId, bytes + checksumOffset(bytes), sizeof connectId);
        if (connectId != 0 && connectId == keys->partner->connectID) key = keys->key;
    }
    return keyedHash(key, bytes, size);
}

int ENET_CALLBACK intercept(ENetHost* host, ENetEvent*) {
    SessionKeys* keys = serving;
    if (keys == nullptr || keys->host != host) return 1;
    uint8_t* datagram = host->receivedData;
    const size_t size = host->receivedDataLength;
    // Games on the LAN are looked for on the game's port while one waits.
    if (keys->listening && keys->partner == nullptr &&
        answerLanSearch(host->socket, host->receivedAddress.host, host->receivedAddress.port,
                        datagram, size)) {
        return 1;
    }
    if (size < 2) return 1;
    const size_t at = checksumOffset(datagram);
    const unsigned field = unsigned(datagram[0]) << 8 | datagram[1];
    // Nothing here compresses; ENet would check a compressed one's inflated bytes.
    if (size < at + 4 || (field & ENET_PROTOCOL_HEADER_FLAG_COMPRESSED) != 0) return 1;
    const unsigned peerId =
        field & ~unsigned(ENET_PROTOCOL_HEADER_FLAG_MASK | ENET_PROTOCOL_HEADER_SESSION_MASK);
    const ENetPeer* peer = peerId < host->peerCount ? &host->peers[peerId] : nullptr;
    // Hashed as ENet checks it: the peer's connect id in the checksum's place.
    enet_uint32 claimed;
    std::memcpy(&claimed, datagram + at, sizeof claimed);
    const enet_uint32 connectId = peer != nullptr ? peer->connectID : 0;
    std::memcpy(datagram + at, &connectId, sizeof connectId);
    const bool fromPartner = peer != nullptr && peer == keys->partner;
    bool good = false;
    if (fromPartner && keys->haveKey && keyedHash(keys->key, datagram, size) == claimed) {
        good = true;
        keys->locked = true;
    } else if (!(fromPartner && keys->locked)) {
        good = keyedHash(kOpenKey, datagram, size) == claimed;
    }
    std::memcpy(datagram + at, &claimed, sizeof claimed);
    keys->verified = claimed;
    return good ? 0 : 1;
}

void ENET_CALLBACK nonceDelivered(ENetPacket* packet) {
    auto* keys = static_cast<SessionKeys*>(packet->userData);
    // Freed on acknowledgement, or unsent when the peer went: only the former counts.
    if (keys != nullptr && (packet->flags & ENET_PACKET_FLAG_SENT) != 0 &&
        packet->dataLength == kNonceBytes &&
        std::memcmp(packet->data, keys->own, kNonceBytes) == 0) {
        keys->ownHeard = true;
    }
}

ENetHost* createHost(const ENetAddress* address, size_t peers) {
    ENetHost* host = enet_host_create(address, peers, kChannels, 0, 0);
    if (host != nullptr) {
        host->checksum = checksum;
        host->intercept = intercept;
        // ENet seeds its connect ids from the host's address and the time in
        // seconds: two processes forked alike in the same second would pick
        // equal ids, and the keys tell peers apart by them.
        host->randomSeed = randombytes_random();
    }
    return host;
}

class EnetTransport : public Transport {
  public:
    EnetTransport(ENetHost* host, bool listening)
        : host_(host), listening_(listening), seats_(host) {
        keys_.host = host;
        keys_.listening = listening;
    }
    ~EnetTransport() override {
        disconnect();
        Serving serve(&keys_);
        enet_host_destroy(host_);
    }

    // The joining side, connected: the partner from the start.
    void adopt(ENetPeer* peer) { meet(peer); }

    Event poll(std::vector<uint8_t>& message, uint32_t timeoutMs) override {
        Serving serve(&keys_);
        ENetEvent event;
        const int got = enet_host_service(host_, &event, timeoutMs);
        if (got <= 0) return quietPartner();
        if (listening_ && seats_.take(event)) return Event::None;
        switch (event.type) {
            case ENET_EVENT_TYPE_CONNECT:
                if (!listening_) return Event::None;
                if (peer_ != nullptr) {
                    // One partner only; a second caller hears why at once.
                    enet_peer_disconnect_now(event.peer, kBusyWord);
                    return Event::None;
                }
                meet(event.peer);
                return Event::Connected;
            case ENET_EVENT_TYPE_RECEIVE: {
                const bool partners = event.peer == peer_;
                if (partners && event.channelID == kSessionChannel) {
                    takeNonce(event.packet);
                    enet_packet_destroy(event.packet);
                    return Event::None;
                }
                message.assign(event.packet->data, event.packet->data + event.packet->dataLength);
                enet_packet_destroy(event.packet);
                if (!partners) return Event::None;
                heard_ = true;
                return Event::Message;
            }
            case ENET_EVENT_TYPE_DISCONNECT:
                if (event.peer != peer_) return Event::None;
                part();
                return !listening_ && event.data == kBusyWord ? Event::Busy : Event::Disconnected;
            default:
                return Event::None;
        }
    }

    WatchSeats* seats() { return listening_ ? &seats_ : nullptr; }

    void setPartnerTimeout(uint32_t ms) override {
        timeoutMs_ = ms;
        if (peer_ != nullptr) enet_peer_timeout(peer_, 0, timeoutMs_, timeoutMs_);
    }

    bool send(const uint8_t* data, size_t size) override {
        return queue(data, size, ENET_PACKET_FLAG_RELIABLE, 0);
    }

    bool sendUnreliable(const uint8_t* data, size_t size) override {
        return queue(data, size, ENET_PACKET_FLAG_UNSEQUENCED, kUnreliableChannel);
    }

    void disconnect() override {
        if (peer_ == nullptr) return;
        Serving serve(&keys_);
        // A polite goodbye, then a short wait for it to be acknowledged so
        // the partner learns at once rather than after its timeout.
        enet_peer_disconnect_later(peer_, 0);
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
        ENetEvent event;
        while (std::chrono::steady_clock::now() < until) {
            event.type = ENET_EVENT_TYPE_NONE;
            if (enet_host_service(host_, &event, 20) < 0) break;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
            if (event.type == ENET_EVENT_TYPE_DISCONNECT && event.peer == peer_) {
                part();
                return;
            }
        }
        enet_peer_reset(peer_);
        part();
    }

  private:
    bool queue(const uint8_t* data, size_t size, enet_uint32 flags, enet_uint8 channel) {
        if (peer_ == nullptr) return false;
        ENetPacket* packet = enet_packet_create(data, size, flags);
        if (packet == nullptr) return false;
        if (enet_peer_send(peer_, channel, packet) != 0) {
            enet_packet_destroy(packet);
            return false;
        }
        return true;
    }

    void meet(ENetPeer* peer) {
        peer_ = peer;
        metMs_ = nowMs();
        heard_ = false;
        enet_peer_timeout(peer_, 0, timeoutMs_, timeoutMs_);
        keys_.partner = peer;
        keys_.haveKey = keys_.ownHeard = keys_.locked = false;
        randombytes_buf(keys_.own, sizeof keys_.own);
        ENetPacket* packet =
            enet_packet_create(keys_.own, sizeof keys_.own, ENET_PACKET_FLAG_RELIABLE);
        if (packet == nullptr) return;
        packet->userData = &keys_;
        packet->freeCallback = nonceDelivered;
        if (enet_peer_send(peer_, kSessionChannel, packet) != 0) enet_packet_destroy(packet);
    }

    void takeNonce(const ENetPacket* packet) {
        if (keys_.haveKey || packet->dataLength != kNonceBytes) return;
        // Both sides derive the same key: the two values in a fixed order.
        const unsigned char* theirs = packet->data;
        const bool ownFirst = std::memcmp(keys_.own, theirs, kNonceBytes) < 0;
        unsigned char both[2 * kNonceBytes];
        std::memcpy(both, ownFirst ? keys_.own : theirs, kNonceBytes);
        std::memcpy(both + kNonceBytes, ownFirst ? theirs : keys_.own, kNonceBytes);
        crypto_generichash(keys_.key, sizeof keys_.key, both, sizeof both, nullptr, 0);
        keys_.haveKey = true;
    }

    void part() {
        peer_ = nullptr;
        keys_.partner = nullptr;
        keys_.haveKey = keys_.ownHeard = keys_.locked = false;
    }

    // Listening: a caller that has said nothing within its time is let go,
    // so that a stranger cannot hold the one place.
    Event quietPartner() {
        if (!listening_ || peer_ == nullptr || heard_ || nowMs() - metMs_ < kFirstWordMs) {
            return Event::None;
        }
        enet_peer_disconnect_now(peer_, 0);
        part();
        return Event::Disconnected;
    }

    ENetHost* host_;
    bool listening_;
    ENetPeer* peer_ = nullptr;
    bool heard_ = false;
    uint64_t metMs_ = 0;
    enet_uint32 timeoutMs_ = kTimeoutMs;
    SessionKeys keys_;
    EnetWatchSeats seats_;  // outlives the host: its packets count down here
};

std::string hostPort(const std::string& host, uint16_t port) {
    return host + ":" + std::to_string(port);
}

// ENet speaks IPv4 only: an address or a name with only IPv6 addresses is
// named as such rather than as no host at all.
bool onlyIpv6(const std::string& hostName) {
    if (hostName.find(':') != std::string::npos) return true;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0) return false;
    bool v4 = false, v6 = false;
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        v4 = v4 || a->ai_family == AF_INET;
        v6 = v6 || a->ai_family == AF_INET6;
    }
    freeaddrinfo(found);
    return v6 && !v4;
}

std::string noIpv6(const std::string& hostName) {
    return hostName + ": IPv6 is not supported (network play speaks IPv4 only)";
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
        link.error = onlyIpv6(bindHost) ? noIpv6(bindHost) : bindHost + ": no such host";
        return link;
    }
    ENetHost* host = createHost(&address, kListenPeers);
    if (host == nullptr) {
        link.error = "cannot listen on port " + std::to_string(port) + " (is it in use?)";
        return link;
    }
    ENetAddress bound;
    if (enet_socket_get_address(host->socket, &bound) == 0) link.port = bound.port;
    link.transport = std::make_unique<EnetTransport>(host, true);
    return link;
}

WatchSeats* watchSeatsOf(Transport& link) {
    auto* enet = dynamic_cast<EnetTransport*>(&link);
    return enet != nullptr ? enet->seats() : nullptr;
}

EnetLink enetConnect(const std::string& hostName, uint16_t port, uint32_t timeoutMs,
                     bool watching) {
    EnetLink link;
    if (!enetReady()) {
        link.error = "network: cannot start ENet";
        return link;
    }
    ENetAddress address;
    if (onlyIpv6(hostName)) {
        link.error = noIpv6(hostName);
        return link;
    }
    if (enet_address_set_host(&address, hostName.c_str()) != 0) {
        link.error = hostName + ": no such host";
        return link;
    }
    address.port = port;
    ENetHost* host = createHost(nullptr, 1);
    if (host == nullptr) {
        link.error = "network: cannot open a UDP socket";
        return link;
    }
    auto transport = std::make_unique<EnetTransport>(host, false);
    SessionKeys handshake;  // the zero key until there is a partner
    handshake.host = host;
    Serving serve(&handshake);
    ENetPeer* peer = enet_host_connect(host, &address, kChannels, watching ? kWatchWord : 0);
    if (peer == nullptr) {
        link.error = "network: cannot start a connection";
        return link;
    }
    ENetEvent event;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < until) {
        event.type = ENET_EVENT_TYPE_NONE;
        if (enet_host_service(host, &event, 50) > 0 && event.type == ENET_EVENT_TYPE_CONNECT) {
            transport->adopt(peer);
            link.transport = std::move(transport);
            return link;
        }
        if (event.type == ENET_EVENT_TYPE_DISCONNECT) break;
    }
    enet_peer_reset(peer);
    link.error = "no answer from " + hostPort(hostName, port);
    return link;
}

}  // namespace platform
