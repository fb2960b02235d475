// Spectators: the host's feed and a spectator's client over seats in memory
// on a virtual clock, and a whole match watched from a late start over ENet
// on the loopback address.
#include <gtest/gtest.h>

#include <random>

#include "platform/watch_seats.h"
#include "services/spectator_feed.h"
#include "services/watch_client.h"
#include "services/watch_packet.h"
#include "support/watch_instance.h"

namespace {

class VirtualClock : public platform::Clock {
  public:
    uint64_t counter() override { return ms; }
    uint64_t counterFrequency() override { return 1000; }
    void sleepMs(uint32_t n) override { ms += n; }
    int64_t calendarSeconds() override { return 0; }
    uint64_t ms = 0;
};

// A spectator's link whose every waiting poll first lets the host play one
// read, as the host goes on while the spectator waits.
class HostMoves : public platform::Transport {
  public:
    HostMoves(std::unique_ptr<platform::Transport> inner, std::function<void()> move)
        : inner_(std::move(inner)), move_(std::move(move)) {}
    Event poll(std::vector<uint8_t>& message, uint32_t timeoutMs) override {
        if (timeoutMs > 0) move_();
        return inner_->poll(message, timeoutMs);
    }
    bool send(const uint8_t* data, size_t size) override { return inner_->send(data, size); }
    bool sendUnreliable(const uint8_t* data, size_t size) override {
        return inner_->sendUnreliable(data, size);
    }
    void disconnect() override { inner_->disconnect(); }
    void setPartnerTimeout(uint32_t ms) override { inner_->setPartnerTimeout(ms); }

  private:
    std::unique_ptr<platform::Transport> inner_;
    std::function<void()> move_;
};

class NetWatchFeedTest : public ::testing::Test {
  protected:
    NetWatchFeedTest() : seats(platform::memoryWatchSeats(clock)) {
        options.identity = {"Kestova test", 0x0123456789abcdefull};
        feed = std::make_unique<SpectatorFeed>(*seats, clock, options);
        feed->onNotice = [this](const std::string& line) { notices.push_back(line); };
    }

    // One settled read of seeded keys, then the seats' news.
    void hostRead() {
        uint8_t keys[256] = {}, marks[256] = {};
        std::mt19937 gen(uint32_t(reads++));
        for (int code : {0x11, 0x1E, 0x1F, 0x20, 0x39, 0xC8}) {
            if (gen() % 3 == 0) keys[code] = 0x80;
        }
        if (gen() % 50 == 0) marks[0x39] = 0x80;
        feed->tick(keys, marks);
        feed->serve();
    }

    struct Spectator {
        std::unique_ptr<platform::Transport> link;
        std::unique_ptr<WatchClient> client;
        std::string error;
        bool greeted = false;
    };
    Spectator watch(const net::Identity& identity) {
        Spectator s;
        s.link = std::make_unique<HostMoves>(seats->connect(), [this] { hostRead(); });
        s.client = std::make_unique<WatchClient>(*s.link, clock, identity);
        s.greeted = s.client->greet("host:1", 2000, s.error);
        return s;
    }

    VirtualClock clock;
    std::unique_ptr<platform::MemoryWatchSeats> seats;
    SpectatorFeed::Options options;
    std::unique_ptr<SpectatorFeed> feed;
    std::vector<std::string> notices;
    int reads = 0;
};

TEST_F(NetWatchFeedTest, LateSpectatorsGetTheWholeSessionAndALaggardIsLetGoWithoutAWait) {
    Spectator early = watch(options.identity);
    EXPECT_EQ(early.error,
              "host:1: no match to watch yet (the host waits for its player); try again once it "
              "has begun");
    replay::Recording start;
    start.heldKeys = {0x1C};
    feed->begin(start);
    while (reads < 300) hostRead();

    Spectator late = watch(options.identity);
    ASSERT_TRUE(late.greeted) << late.error;
    Spectator laggard = watch(options.identity);
    ASSERT_TRUE(laggard.greeted) << laggard.error;
    EXPECT_EQ(feed->watching(), 2u);
    // The laggard reads no more; the host never waits for it.
    const uint64_t before = clock.ms;
    int readsToDrop = 0;
    while (feed->watching() == 2 && readsToDrop < 20000) {
        hostRead();
        late.client->service(0);
        ++readsToDrop;
    }
    EXPECT_EQ(clock.ms, before);
    EXPECT_EQ(feed->watching(), 1u);
    // The bound lies 512 KB past the catch-up, at 40 to 72 bytes a read.
    EXPECT_GT(readsToDrop, 512 * 1024 / 72);
    EXPECT_LT(readsToDrop, 20000);
    ASSERT_EQ(notices, std::vector<std::string>{"a spectator fell too far behind and was let go"});
    // What was queued before it was let go still reaches it, in slices of
    // 4096 messages: a frame always gets its turn.
    laggard.client->service(0);
    EXPECT_FALSE(laggard.client->over());
    for (int n = 0; n < 10 && !laggard.client->over(); ++n) laggard.client->service(0);
    EXPECT_EQ(laggard.client->endReason(), "too far behind");

    late.client->service(0);
    EXPECT_GT(late.client->recording().reads, 800);
    EXPECT_EQ(replay::serialise(late.client->recording()), replay::serialise(feed->recording()));
    feed->close("the match is over");
    late.client->service(0);
    EXPECT_EQ(late.client->endReason(), "the match is over");
}

TEST_F(NetWatchFeedTest, CallersBeyondEightOfAnotherVersionOrSpeakingGarbageAreTurnedAway) {
    feed->begin(replay::Recording());
    std::vector<Spectator> watching;
    for (int n = 0; n < 8; ++n) {
        watching.push_back(watch(options.identity));
        ASSERT_TRUE(watching.back().greeted) << watching.back().error;
    }
    EXPECT_EQ(watch(options.identity).error,
              "host:1: host full (8 spectators are watching already)");
    watching.pop_back();
    feed->serve();
    EXPECT_EQ(feed->watching(), 7u);
    EXPECT_EQ(watch({"Kestova 0.1", 0x0123456789abcdefull}).error,
              "host:1: version mismatch (the host runs Kestova test with data 0123456789abcdef, "
              "this program Kestova 0.1 with data 0123456789abcdef)");

    auto stranger = seats->connect();
    const uint8_t garbage[] = {'K', 'W', watch::kVersion, 99};
    stranger->send(garbage, sizeof garbage);
    feed->serve();
    ASSERT_EQ(notices, std::vector<std::string>{
                           "a spectator was let go: bad message (unknown spectator message "
                           "type 99)"});
    std::vector<uint8_t> message;
    watch::Message over;
    std::string why;
    ASSERT_EQ(stranger->poll(message, 0), platform::Transport::Event::Message);
    ASSERT_EQ(watch::decode(message.data(), message.size(), over, why), net::Decoded::Ok);
    EXPECT_EQ(over.reason, "bad message: unknown spectator message type 99");

    // Silent callers are let go after 2 s.
    auto silent = seats->connect();
    feed->serve();
    clock.ms += 2000;
    feed->serve();
    platform::Transport::Event last;
    while ((last = silent->poll(message, 0)) == platform::Transport::Event::Message) {
    }
    EXPECT_EQ(last, platform::Transport::Event::Disconnected);
    EXPECT_EQ(feed->watching(), 7u);
}

TEST(NetWatchGameTest, ASpectatorJoiningHundredsOfTicksLateEndsWithThePlayersTrace) {
    using namespace watch_instance;
    Player host, join;
    oneDayOfComputers(host, join);
    Lockstep::Options options;
    options.identity = {"Kestova watch test", 42};
    // The joining machine waits out the host's pause for the spectator.
    options.silenceMs = 30000;
    const std::string path = ::testing::TempDir() + "kestova_watch_" + std::to_string(getpid());

    int portPipe[2], tickPipe[2];
    ASSERT_EQ(pipe(portPipe), 0);
    ASSERT_EQ(pipe(tickPipe), 0);
    host.spectatorTick = 400;
    host.spectatorPipe = tickPipe[1];
    const pid_t hostPid =
        spawn(Lockstep::Role::Host, host, 0, portPipe[1], options, path + ".host");
    uint16_t port = 0;
    pollfd ready{portPipe[0], POLLIN, 0};
    ASSERT_GT(::poll(&ready, 1, 10000), 0);
    ASSERT_EQ(read(portPipe[0], &port, sizeof port), ssize_t(sizeof port));
    const pid_t joinPid = spawn(Lockstep::Role::Join, join, port, -1, options, path + ".join");
    pollfd held{tickPipe[0], POLLIN, 0};
    ASSERT_GT(::poll(&held, 1, 60000), 0);
    const pid_t watchPid = spawnSpectator(port, options.identity, path + ".watch");
    for (int fd : {portPipe[0], portPipe[1], tickPipe[0], tickPipe[1]}) close(fd);

    EXPECT_EQ(reap(joinPid, 120000), 0);
    EXPECT_EQ(reap(hostPid, 30000), 0);
    EXPECT_EQ(reap(watchPid, 30000), 0);
    const Trace h = readTrace(path + ".host"), j = readTrace(path + ".join"),
                w = readTrace(path + ".watch");
    for (const char* end : {".host", ".join", ".watch"}) std::remove((path + end).c_str());
    ASSERT_TRUE(h.endScreen);
    ASSERT_EQ(h.frames, j.frames);
    ASSERT_EQ(w.notices, std::vector<std::string>{"the match is over"});
    // The spectator starts at the session's first frame and stops at its
    // last, or at the top of the one after.
    ASSERT_GT(h.frames.size(), 500u);
    ASSERT_GE(w.frames.size() + 1, h.frames.size());
    ASSERT_LE(w.frames.size(), h.frames.size());
    for (size_t f = 0; f < w.frames.size(); ++f) {
        ASSERT_EQ(h.frames[f].substr(h.frames[f].find(' ') + 1), w.frames[f]) << "frame " << f;
    }
}

}  // namespace
