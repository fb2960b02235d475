// The session over ENet on the loopback address: who may hold the host's one
// place, what a greeting must name, and that datagrams forged from the
// partner's address change nothing.
#include <gtest/gtest.h>
#include <netinet/ip.h>
#include <netinet/udp.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#include "support/net_instance.h"

namespace {

using Event = platform::Transport::Event;
using Ms = std::chrono::milliseconds;

// A listening end served on a thread, counting what it saw.
struct Host {
    Host()
        : thread([this] {
              std::vector<uint8_t> message;
              while (!stop) {
                  const Event e = link.transport->poll(message, 5);
                  partings += e == Event::Disconnected;
                  messages += e == Event::Message;
              }
          }) {}
    ~Host() {
        stop = true;
        thread.join();
    }
    platform::EnetLink link = platform::enetListen(0, "127.0.0.1");
    std::atomic<bool> stop{false};
    std::atomic<int> partings{0}, messages{0};
    std::thread thread;
};

// Polls `link` until `event` comes or `ms` pass; the milliseconds it took.
int64_t await(platform::Transport& link, Event event, int ms) {
    const auto began = std::chrono::steady_clock::now();
    std::vector<uint8_t> message;
    while (std::chrono::steady_clock::now() - began < Ms(ms) && link.poll(message, 5) != event) {
    }
    return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - began).count();
}

std::string joinError(const std::string& host, uint16_t port) {
    platform::HeadlessSystem headless;
    std::string error;
    EXPECT_EQ(NetPlay::join(host, port, headless, platform::steadyClock(), error, {}, 3000),
              nullptr);
    return error;
}

TEST(NetSessionTest, AStrangerIsDroppedAfterTwoSecondsAndAThirdCallerHearsHostBusy) {
    Host host;
    const uint16_t port = host.link.port;
    const auto connected = std::chrono::steady_clock::now();
    platform::EnetLink stranger = platform::enetConnect("127.0.0.1", port, 1000);
    ASSERT_TRUE(stranger.transport) << stranger.error;
    await(*stranger.transport, Event::Message, 200);  // served, but says nothing
    const auto began = std::chrono::steady_clock::now();
    EXPECT_EQ(joinError("127.0.0.1", port), "127.0.0.1:" + std::to_string(port) +
                                                ": host busy (it is playing with someone else)");
    EXPECT_LT(std::chrono::steady_clock::now() - began, Ms(500));
    await(*stranger.transport, Event::Disconnected, 4000);
    EXPECT_GE(std::chrono::steady_clock::now() - connected, Ms(1900));
    EXPECT_LT(std::chrono::steady_clock::now() - connected, Ms(2600));
    for (int i = 0; i < 100 && host.partings == 0; ++i) std::this_thread::sleep_for(Ms(2));
    EXPECT_EQ(host.partings, 1);
    EXPECT_EQ(joinError("::1", 4000), "::1: IPv6 is not supported (network play speaks IPv4 only)");
}

// One UDP datagram between two loopback ports, through a raw socket so that
// its source is whatever we say.
void forge(int raw, uint16_t fromPort, uint16_t toPort, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> packet(sizeof(iphdr) + sizeof(udphdr));
    auto* ip = reinterpret_cast<iphdr*>(packet.data());
    ip->ihl = 5;
    ip->version = 4;
    ip->ttl = 64;
    ip->protocol = IPPROTO_UDP;
    ip->tot_len = htons(uint16_t(packet.size() + payload.size()));
    ip->saddr = ip->daddr = htonl(INADDR_LOOPBACK);
    auto* udp = reinterpret_cast<udphdr*>(packet.data() + sizeof(iphdr));
    *udp = {htons(fromPort), htons(toPort), htons(uint16_t(sizeof(udphdr) + payload.size())), 0};
    packet.insert(packet.end(), payload.begin(), payload.end());
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sendto(raw, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
}

// The partner speaks, so it keeps its place past the 2 s of a stranger.
TEST(NetSessionTest, DisconnectsForgedFromThePartnersAddressChangeNothing) {
    const int raw = socket(AF_INET, SOCK_RAW, IPPROTO_RAW);
    if (raw < 0) GTEST_SKIP() << "no raw socket to forge datagrams with: " << std::strerror(errno);
    Host host;
    // The partner comes through a relay, whose address the host takes for its.
    net_instance::Relay relay(host.link.port, 0, 0, 0.0, 1);
    std::atomic<bool> stop{false};
    std::thread moving([&] {
        while (!stop) relay.run(10);
    });
    platform::EnetLink partner = platform::enetConnect("127.0.0.1", relay.port(), 2000);
    ASSERT_TRUE(partner.transport) << partner.error;
    const uint8_t word[] = {1};
    partner.transport->send(word, sizeof word);
    await(*partner.transport, Event::Message, 500);  // the session key settles
    // A disconnect to the host's first peer in each of the four session ids,
    // with and without a checksum field.
    for (uint8_t session = 0; session < 4; ++session) {
        const uint8_t id = uint8_t(session << 4);
        forge(raw, relay.backPort(), host.link.port, {id, 0, 0x44, 0xFF, 0, 0, 0, 0, 0, 0});
        forge(raw, relay.backPort(), host.link.port,
              {id, 0, 1, 2, 3, 4, 0x44, 0xFF, 0, 0, 0, 0, 0, 0});
    }
    close(raw);
    partner.transport->send(word, sizeof word);
    EXPECT_GE(await(*partner.transport, Event::Disconnected, 2500), 2500);
    stop = true;
    moving.join();
    EXPECT_EQ(host.partings, 0);
    EXPECT_EQ(host.messages, 2);
}

}  // namespace
