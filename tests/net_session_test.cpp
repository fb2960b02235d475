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

// Serves a listening end on a thread, keeping what it saw.
class Host {
  public:
    Host() : link_(platform::enetListen(0, "127.0.0.1")) {
        thread_ = std::thread([this] {
            std::vector<uint8_t> message;
            while (!stop_) {
                const Event e = link_.transport->poll(message, 5);
                if (e == Event::Disconnected) ++partings;
                if (e == Event::Message) ++messages;
            }
        });
    }
    ~Host() {
        stop_ = true;
        thread_.join();
    }
    uint16_t port() const { return link_.port; }
    std::atomic<int> partings{0}, messages{0};

  private:
    platform::EnetLink link_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Polls `link` until `event` comes or `ms` pass; the milliseconds it took.
int64_t await(platform::Transport& link, Event event, int ms) {
    const auto began = std::chrono::steady_clock::now();
    std::vector<uint8_t> message;
    while (std::chrono::steady_clock::now() - began < Ms(ms)) {
        if (link.poll(message, 5) == event) break;
    }
    return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - began).count();
}

TEST(NetSessionTest, AStrangerIsDroppedAfterTwoSecondsAndAThirdCallerHearsHostBusy) {
    Host host;
    const auto connected = std::chrono::steady_clock::now();
    platform::EnetLink stranger = platform::enetConnect("127.0.0.1", host.port(), 1000);
    ASSERT_TRUE(stranger.transport) << stranger.error;
    await(*stranger.transport, Event::Message, 200);  // served, but says nothing
    // Meanwhile a real player is told at once that the place is taken.
    platform::HeadlessSystem headless;
    std::string error;
    const auto began = std::chrono::steady_clock::now();
    EXPECT_EQ(
        NetPlay::join("127.0.0.1", host.port(), headless, platform::steadyClock(), error, {}, 3000),
        nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - began, Ms(500));
    EXPECT_EQ(error, "127.0.0.1:" + std::to_string(host.port()) +
                         ": host busy (it is playing with someone else)");
    await(*stranger.transport, Event::Disconnected, 4000);
    const auto dropped = std::chrono::steady_clock::now() - connected;
    EXPECT_GE(dropped, Ms(1900));
    EXPECT_LT(dropped, Ms(2600));
    for (int i = 0; i < 100 && host.partings == 0; ++i) std::this_thread::sleep_for(Ms(2));
    EXPECT_EQ(host.partings, 1);

    // The place is free again; a partner that speaks keeps it.
    platform::EnetLink partner = platform::enetConnect("127.0.0.1", host.port(), 1000);
    ASSERT_TRUE(partner.transport) << partner.error;
    const uint8_t word[] = {1};
    partner.transport->send(word, sizeof word);
    EXPECT_GE(await(*partner.transport, Event::Disconnected, 2500), 2500);
    EXPECT_EQ(host.messages, 1);
    EXPECT_EQ(host.partings, 1);
}

TEST(NetSessionTest, AGreetingOfAnotherBuildOrDataIsRefusedNamingBoth) {
    platform::EnetLink listening = platform::enetListen(0, "127.0.0.1");
    const uint16_t port = listening.port;
    Lockstep::Options hostOptions;
    hostOptions.identity = {"Kestova 1.1", 0xABCDEF};
    platform::HeadlessSystem hostSystem;
    NetPlay host(Lockstep::Role::Host, std::move(listening.transport), hostSystem,
                 platform::steadyClock(), hostOptions);
    std::atomic<bool> stop{false};
    std::thread serve([&] {
        uint8_t keys[256];
        while (!stop) host.lockstep().readKeys(keys);
    });
    const struct {
        net::Identity joiner;
        const char* hostSays;  // nullptr: the two play
    } cases[] = {
        {{"Kestova 1.2", 0xABCDEF},
         "Kestova 1.1 with data 0000000000abcdef, this program "
         "Kestova 1.2 with data 0000000000abcdef"},
        {{"Kestova 1.1", 0x1234},
         "Kestova 1.1 with data 0000000000abcdef, this program "
         "Kestova 1.1 with data 0000000000001234"},
        {{"Kestova 1.1", 0xABCDEF}, nullptr},
    };
    for (const auto& c : cases) {
        platform::HeadlessSystem headless;
        Lockstep::Options options;
        options.identity = c.joiner;
        std::string error;
        auto join = NetPlay::join("127.0.0.1", port, headless, platform::steadyClock(), error,
                                  options, 2000);
        if (c.hostSays == nullptr) {
            EXPECT_NE(join, nullptr) << error;
        } else {
            EXPECT_EQ(join, nullptr);
            EXPECT_EQ(error, "127.0.0.1:" + std::to_string(port) +
                                 ": version mismatch (the host runs " + c.hostSays + ")");
        }
    }
    stop = true;
    serve.join();
    ASSERT_EQ(host.notices().size(), 2u);
    EXPECT_EQ(host.notices()[0],
              "a player with Kestova 1.2 with data 0000000000abcdef was turned away: this is "
              "Kestova 1.1 with data 0000000000abcdef");
}

TEST(NetSessionTest, AJoinByAnIpv6AddressSaysItIsNotSupported) {
    platform::HeadlessSystem headless;
    std::string error;
    EXPECT_EQ(NetPlay::join("::1", 4000, headless, platform::steadyClock(), error, {}, 500),
              nullptr);
    EXPECT_EQ(error, "::1: IPv6 is not supported (network play speaks IPv4 only)");
}

// One UDP datagram from `fromPort` to `toPort` on the loopback address, sent
// through a raw socket so that its source is whatever we say.
bool forge(int raw, uint16_t fromPort, uint16_t toPort, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> packet(sizeof(iphdr) + sizeof(udphdr) + payload.size());
    auto* ip = reinterpret_cast<iphdr*>(packet.data());
    ip->version = 4;
    ip->ihl = 5;
    ip->ttl = 64;
    ip->protocol = IPPROTO_UDP;
    ip->tot_len = htons(uint16_t(packet.size()));
    ip->saddr = ip->daddr = htonl(INADDR_LOOPBACK);
    auto* udp = reinterpret_cast<udphdr*>(packet.data() + sizeof(iphdr));
    udp->source = htons(fromPort);
    udp->dest = htons(toPort);
    udp->len = htons(uint16_t(sizeof(udphdr) + payload.size()));
    std::memcpy(packet.data() + sizeof(iphdr) + sizeof(udphdr), payload.data(), payload.size());
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return sendto(raw, packet.data(), packet.size(), 0, reinterpret_cast<sockaddr*>(&to),
                  sizeof to) == ssize_t(packet.size());
}

TEST(NetSessionTest, DisconnectsForgedFromThePartnersAddressChangeNothing) {
    const int raw = socket(AF_INET, SOCK_RAW, IPPROTO_RAW);
    if (raw < 0) GTEST_SKIP() << "no raw socket to forge datagrams with: " << std::strerror(errno);
    Host host;
    // The joining machine comes through a relay, whose address the host
    // takes for the partner's.
    net_instance::Relay relay(host.port(), 0, 0, 0.0, 1);
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
    for (int session = 0; session < 4; ++session) {
        const uint8_t id = uint8_t(session << 4);
        forge(raw, relay.backPort(), host.port(), {id, 0, 4 | 0x40, 0xFF, 0, 0, 0, 0, 0, 0});
        forge(raw, relay.backPort(), host.port(),
              {id, 0, 0x12, 0x34, 0x56, 0x78, 4 | 0x40, 0xFF, 0, 0, 0, 0, 0, 0});
    }
    close(raw);
    partner.transport->send(word, sizeof word);
    EXPECT_GE(await(*partner.transport, Event::Disconnected, 1000), 1000);
    stop = true;
    moving.join();
    EXPECT_EQ(host.partings, 0);
    EXPECT_EQ(host.messages, 2);
}

}  // namespace
