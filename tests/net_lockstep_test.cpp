// The lockstep keyboard on its own: two machines taking turns in one thread
// over the in-memory link on a virtual clock, each with a scripted keyboard.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <tuple>
#include <vector>

#include "platform/transport.h"
#include "services/dik_codes.h"
#include "services/lockstep.h"
#include "services/net_packet.h"
#include "support/shared_time.h"
#include "support/taking_turns.h"

namespace {

using Keys = std::vector<uint8_t>;

// A keyboard whose state at each read comes from a function of the read.
class ScriptedKeyboard : public platform::InputDevice {
  public:
    explicit ScriptedKeyboard(std::function<void(int read, uint8_t keys[256])> script)
        : script_(std::move(script)) {}
    void readKeys(uint8_t state[256]) override {
        for (int i = 0; i < 256; ++i) state[i] = 0;
        script_(reads_++, state);
    }
    void readMouse(platform::MouseState&) override {}
    void setMousePos(int, int) override {}

  private:
    std::function<void(int, uint8_t*)> script_;
    int reads_ = 0;
};

// A few keys of one side, each read down with a seeded chance.
std::function<void(int, uint8_t*)> randomKeys(uint32_t seed, std::vector<int> codes) {
    return [seed, codes](int read, uint8_t* keys) {
        std::mt19937 gen(seed * 7919u + uint32_t(read));
        for (int code : codes) {
            if (gen() % 3 == 0) keys[code] = 0x80;
        }
    };
}

struct Machine {
    Machine(Lockstep::Role role, std::function<void(int, uint8_t*)> script,
            platform::Transport& link, platform::Clock& clock, Lockstep::Options options = {})
        : keyboard(std::move(script)), lockstep(role, keyboard, link, clock, options) {
        lockstep.onNotice = [this](const std::string& n) { notices.push_back(n); };
    }
    // Reads `count` times and keeps what the game would have seen.
    void play(int count) {
        for (int i = 0; i < count; ++i) read();
    }
    void read() {
        Keys keys(256);
        lockstep.readKeys(keys.data());
        seen.push_back(keys);
    }
    ScriptedKeyboard keyboard;
    Lockstep lockstep;
    std::vector<Keys> seen;
    std::vector<std::string> notices;
};

void noKeys(int, uint8_t*) {}

// The two machines over one link, taking turns.
struct Pair {
    Pair(Lockstep::Options options, std::function<void(int, uint8_t*)> hostKeys,
         std::function<void(int, uint8_t*)> joinKeys, const platform::LinkConditions& link = {})
        : links(platform::memoryLinkPair(turns, link)),
          host(Lockstep::Role::Host, hostKeys, *links.first, turns, options),
          join(Lockstep::Role::Join, joinKeys, *links.second, turns, options),
          inputDelay(options.inputDelay) {}
    // The joining machine greets the host, which reads meanwhile as in its
    // start-up screens (`earlyReads` times); then both reach the menu and
    // start with the host's `settings`, which the joining machine returns.
    net::Settings connect(const net::Settings& settings = {}) {
        net::Settings mine = settings, theirs;
        bool greeted = false;
        turns.plan(TakingTurns::kJoin, [&] {
            std::string error;
            EXPECT_TRUE(join.lockstep.greet("here", 2000, error)) << error;
            greeted = true;
            turns.plan(TakingTurns::kJoin, [&] { EXPECT_TRUE(join.lockstep.start(theirs)); });
        });
        std::function<void()> early = [&] {
            host.read();
            if (!greeted) return turns.plan(TakingTurns::kHost, early);
            turns.plan(TakingTurns::kHost, [&] { EXPECT_TRUE(host.lockstep.start(mine)); });
        };
        turns.plan(TakingTurns::kHost, early);
        turns.run();
        earlyReads = int(host.seen.size());
        host.seen.clear();
        return theirs;
    }
    // Plans `count` steps of `reads` reads on each machine; `before` runs
    // at the top of each. A step taken while the other machine waits stays
    // within the ticks that one has sent.
    void planReads(int count, int reads = 1, std::function<void(Machine&, int)> before = nullptr) {
        for (int i = 0; i < count; ++i) {
            for (auto [who, me, other] : {std::tuple(TakingTurns::kJoin, &join, &host),
                                          std::tuple(TakingTurns::kHost, &host, &join)}) {
                auto step = [=] {
                    if (before) before(*me, i);
                    me->play(reads);
                };
                turns.plan(who, step, [=] {
                    return me->lockstep.tick() + reads <= other->lockstep.tick() + inputDelay;
                });
            }
        }
    }
    TakingTurns turns;
    std::pair<std::unique_ptr<platform::Transport>, std::unique_ptr<platform::Transport>> links;
    Machine host, join;
    int earlyReads = 0;
    int inputDelay;
};

struct LinkCase {
    const char* name;
    platform::LinkConditions conditions;
    int inputDelay;
    uint32_t maxStallMs;
};

class LockstepLinkTest : public ::testing::TestWithParam<LinkCase> {};

// A slow, lossy link costs waits, never a key or the partner.
INSTANTIATE_TEST_SUITE_P(Links, LockstepLinkTest,
                         ::testing::Values(LinkCase{"instant", {}, 3, 30},
                                           LinkCase{"slow_lossy", {100, 30, 10, 200, 7}, 5, 400}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(LockstepLinkTest, BothSeeTheCombinedKeysOfTheSameTickAfterTheDelay) {
    const LinkCase& link = GetParam();
    Lockstep::Options options;
    options.inputDelay = link.inputDelay;
    const int delay = link.inputDelay;
    const std::vector<int> left = {DIK_W, DIK_A, DIK_LSHIFT, DIK_F10};
    const std::vector<int> right = {DIK_UP, DIK_LEFT, DIK_SPACE, DIK_F12};
    Pair pair(options, randomKeys(11, left), randomKeys(22, right), link.conditions);
    Machine& host = pair.host;
    Machine& join = pair.join;

    net::Settings mine;
    mine.inputDelay = delay;
    mine.seed = 0x123456789ABCDEFull;
    mine.isComputer[0] = 1;
    mine.warDays = 7;
    mine.palmTrees = 9;
    mine.selectedRow = 4;
    const net::Settings theirs = pair.connect(mine);
    mine.roundTripMs = theirs.roundTripMs;  // as the host measured it
    EXPECT_EQ(net::encodeStart(theirs), net::encodeStart(mine));

    const int kReads = 400;
    pair.planReads(kReads);
    // The goodbyes carry the last ticks, which no wait sent.
    pair.turns.plan(TakingTurns::kJoin, [&] { join.lockstep.leave(); });
    pair.turns.plan(TakingTurns::kHost, [&] { host.lockstep.leave(); });
    pair.turns.run();

    auto hostScript = randomKeys(11, left);
    auto joinScript = randomKeys(22, right);
    int pressed = 0;
    for (int t = 0; t < kReads; ++t) {
        uint8_t a[256] = {}, b[256] = {};
        if (t >= delay) {
            hostScript(pair.earlyReads + t - delay, a);
            joinScript(t - delay, b);
        }
        for (int code = 0; code < 256; ++code) {
            if (code == DIK_F10 || code == DIK_F12) continue;
            const uint8_t want = (a[code] | b[code]) & 0x80;
            ASSERT_EQ(host.seen[t][code], want) << "tick " << t << " key " << code;
            ASSERT_EQ(join.seen[t][code], want) << "tick " << t << " key " << code;
            pressed += want != 0;
        }
        // F10 acts at once and only where pressed; F12 never crosses.
        uint8_t nowA[256] = {}, nowB[256] = {};
        hostScript(pair.earlyReads + t, nowA);
        joinScript(t, nowB);
        EXPECT_EQ(host.seen[t][DIK_F10], nowA[DIK_F10]) << t;
        EXPECT_EQ(join.seen[t][DIK_F10], 0) << t;
        EXPECT_EQ(join.seen[t][DIK_F12], 0) << t;
    }
    EXPECT_GT(pressed, 500);
    EXPECT_TRUE(host.notices.empty());
    EXPECT_TRUE(join.notices.empty());
    EXPECT_LE(host.lockstep.longestStallMs(), link.maxStallMs);
    EXPECT_LE(join.lockstep.longestStallMs(), link.maxStallMs);
}

// Two machines side by side, each reading once a frame of 38 ms as the
// game's pacer does, at the delay the host fits to the link: the pace holds
// and both see the same keys.
TEST(LockstepTest, TheFittedDelayKeepsThePace) {
    // A tick more than the time one way in whole ticks of 38 ms, 2 to 8.
    for (auto [rtt, delay] : {std::pair(0, 2), {76, 2}, {77, 3}, {228, 4}, {229, 5}, {999, 8}})
        EXPECT_EQ(Lockstep::delayFor(uint32_t(rtt)), delay) << rtt;
    using Link = platform::LinkConditions;  // and the delay, the floor in ticks a second
    for (const auto& [link, delay, floor] :
         {std::tuple(Link{0, 0, 0, 200, 3}, 2, 26.0), std::tuple(Link{100, 0, 2, 200, 5}, 4, 25.0),
          std::tuple(Link{125, 0, 0, 200, 9}, 5, 26.0)}) {
        SharedTime time;
        auto ends = platform::memoryLinkPair(time, link);
        Machine host(Lockstep::Role::Host, randomKeys(11, {DIK_W, DIK_A}), *ends.first, time);
        Machine join(Lockstep::Role::Join, randomKeys(22, {DIK_UP, DIK_LEFT}), *ends.second, time);
        const int kFrames = 1500;
        double slowest = 100;
        auto play = [&](Machine& m) {
            const uint64_t began = time.milliseconds();
            for (int f = 0; f < kFrames; ++f) {
                const uint64_t start = time.milliseconds();
                if (m.lockstep.digestDue()) m.lockstep.offerDigest(7);
                m.read();
                const uint64_t spent = time.milliseconds() - start;
                if (spent < Lockstep::kTickMs) time.sleepMs(uint32_t(Lockstep::kTickMs - spent));
            }
            slowest = std::min(slowest, kFrames * 1000.0 / double(time.milliseconds() - began));
            m.lockstep.leave();
        };
        net::Settings settings;
        std::string error;
        time.run({[&] {
                      if (join.lockstep.greet("host", 2000, error) && join.lockstep.start(settings))
                          play(join);
                  },
                  [&] {
                      if (host.lockstep.start(settings)) play(host);
                  }});
        ASSERT_EQ(host.seen.size(), size_t(kFrames)) << error;
        EXPECT_TRUE(host.seen == join.seen);
        EXPECT_TRUE(host.notices.empty() && join.notices.empty());
        EXPECT_TRUE(host.lockstep.inputDelay() == delay && join.lockstep.inputDelay() == delay);
        std::printf("round trip %d ms: delay %d, %.2f ticks a second\n",
                    host.lockstep.roundTripMs(), delay, slowest);
        EXPECT_GE(slowest, floor);
    }
}

TEST(LockstepTest, APartnerWhoLeavesOrFallsSilentReleasesItsKeys) {
    Lockstep::Options options;
    options.inputDelay = 2;
    options.silenceMs = 300;
    options.noteAfterMs = 50;
    auto holdS = [](int, uint8_t* keys) { keys[DIK_S] = 0x80; };
    auto holdDown = [](int, uint8_t* keys) { keys[DIK_DOWN] = 0x80; };
    for (bool polite : {true, false}) {
        Pair pair(options, holdS, holdDown);
        Machine& host = pair.host;
        pair.connect();
        int waits = 0;
        host.lockstep.onWaiting = [&](bool waiting) { waits += waiting; };
        pair.planReads(20);
        // Quitting tells the other side; a hang says nothing at all.
        if (polite) pair.turns.plan(TakingTurns::kJoin, [&] { pair.join.lockstep.leave(); });
        for (int i = 0; i < 20; ++i) pair.turns.plan(TakingTurns::kHost, [&] { host.read(); });
        pair.turns.run();
        ASSERT_EQ(host.notices.size(), 1u) << polite;
        EXPECT_EQ(host.notices[0], "the other player left");
        EXPECT_EQ(host.lockstep.phase(), Lockstep::Phase::Over);
        EXPECT_TRUE(host.seen[15][DIK_DOWN] && host.seen[15][DIK_S]);
        // Its goodbye brought the ticks it read before it went: all are played.
        EXPECT_TRUE(!polite || (host.seen[21][DIK_DOWN] && !host.seen[22][DIK_DOWN]));
        EXPECT_FALSE(host.seen[39][DIK_DOWN]);  // released
        EXPECT_TRUE(host.seen[39][DIK_S]);      // and play goes on locally
        if (!polite) {
            EXPECT_GE(host.lockstep.longestStallMs(), 300u);
            EXPECT_LT(host.lockstep.longestStallMs(), 320u);
            EXPECT_GT(waits, 0);
        }
    }
}

// Sends raw bytes to the host as if they came from the joining machine, once
// the two are in lockstep, and returns what the host told its player.
std::vector<std::string> hostHears(
    const std::function<std::vector<std::vector<uint8_t>>()>& attack) {
    TakingTurns clock;
    auto [a, b] = platform::memoryLinkPair(clock);
    Lockstep::Options options;
    options.inputDelay = 1;
    options.silenceMs = 2000;
    Machine host(
        Lockstep::Role::Host, [](int, uint8_t*) {}, *a, clock, options);
    b->send(net::encodeHello({}).data(), net::encodeHello({}).size());
    b->send(net::encodeReady().data(), 4);
    host.play(1);
    net::Settings s;
    EXPECT_TRUE(host.lockstep.start(s));
    for (const auto& bytes : attack()) b->send(bytes.data(), bytes.size());
    host.play(3);
    EXPECT_EQ(host.lockstep.phase(), Lockstep::Phase::Over);
    return host.notices;
}

TEST(LockstepTest, HostileOrBrokenMessagesEndNetworkPlayWithAMessage) {
    auto keys = [](uint32_t first, uint32_t count = 1, uint32_t ack = 0) {
        return net::encodeTicks(ack, first, std::vector<uint8_t>(count * net::kTickBytes));
    };
    struct Case {
        const char* what;
        std::vector<std::vector<uint8_t>> bytes;
        const char* notice;
    } cases[] = {
        {"garbage", {{1, 2, 3, 4, 5}}, "bad packet from the other player: not a Kestova message"},
        {"short",
         {{'K', 'V'}},
         "bad packet from the other player: message of 2 bytes is too short"},
        {"skipped tick",
         {keys(0), keys(2)},
         "bad packet from the other player: tick 2 where 1 was due"},
        {"far tick",
         {keys(0), keys(0x7FFFFFF0)},
         "bad packet from the other player: tick 2147483632 where 1 was due"},
        {"ack ahead",
         {keys(0, 1, 9)},
         "bad packet from the other player: tick 9 acknowledged before it was sent"},
        {"too many ticks",
         {keys(0, net::kMaxTicksPerDatagram + 1)},
         "bad packet from the other player: ticks message of 33 ticks, at most 32"},
        {"hello again",
         {net::encodeHello({})},
         "bad packet from the other player: a message out of turn"},
        {"start again",
         {net::encodeStart(net::Settings())},
         "bad packet from the other player: a message out of turn"},
        {"digest far ahead",
         {net::encodeDigest(100000, 1)},
         "bad packet from the other player: state digest of tick 100000"},
        {"digest twice",
         {net::encodeDigest(300, 1), net::encodeDigest(300, 1)},
         "bad packet from the other player: state digest of tick 300"},
        {"out of step", {keys(0, 2), net::encodeDigest(0, 42)}, nullptr},
    };
    for (const Case& c : cases) {
        std::vector<std::string> notices = hostHears([&] { return c.bytes; });
        if (c.notice == nullptr) {
            // The digest of tick 0 went past here without one of ours.
            ASSERT_EQ(notices.size(), 1u) << c.what;
            EXPECT_EQ(notices[0], "the two games went out of step at tick 0; network play stopped");
        } else {
            ASSERT_EQ(notices.size(), 1u) << c.what;
            EXPECT_EQ(notices[0], c.notice) << c.what;
        }
    }
}

TEST(LockstepTest, DigestsThatDifferNameTheTick) {
    Lockstep::Options options;
    options.inputDelay = 2;
    options.digestEveryFrames = 2;
    Pair pair(options, noKeys, noKeys);
    pair.connect();
    // Told the agreed digests before it and the two that differ, it says where a report went.
    pair.host.lockstep.onOutOfStep = [](const std::vector<replay::NetDigest>& d) {
        return std::to_string(d.size()) + " " + std::to_string(d[2].own) + "/" +
               std::to_string(d[2].partner);
    };
    // Frames of three reads; the states agree until the fourth frame.
    pair.planReads(8, 3, [&](Machine& m, int frame) {
        const uint64_t base = &m == &pair.host ? 200 : 100;
        if (m.lockstep.digestDue()) m.lockstep.offerDigest(frame < 4 ? 7 : base + uint64_t(frame));
    });
    pair.turns.run();
    const Machine& host = pair.host;
    ASSERT_FALSE(host.notices.empty());
    EXPECT_EQ(host.notices[0],
              "the two games went out of step at tick 15; network play stopped; 3 205/105");
}

TEST(LockstepTest, AJoinFailsWithOneClearLine) {
    struct Case {
        std::vector<uint8_t> answer;  // empty: no answer at all
        const char* error;
    } cases[] = {
        {{}, "no answer from somewhere:1"},
        {{'K', 'V', 9, 1},
         "somewhere:1: version mismatch (the host speaks network version 9, this program 3)"},
        {{'G', 'E', 'T', ' ', '/'}, "somewhere:1: not a Kestova game (not a Kestova message)"},
        {net::encodeHello({"Kestova 9", 1}),
         "somewhere:1: version mismatch (the host runs Kestova 9 with data 0000000000000001, "
         "this program an unnamed build with data 0000000000000000)"},
        {net::encodeDigest(1, 2), "somewhere:1: the host sent a message out of turn"},
    };
    for (const Case& c : cases) {
        TakingTurns clock;
        auto [a, b] = platform::memoryLinkPair(clock);
        if (!c.answer.empty()) a->send(c.answer.data(), c.answer.size());
        ScriptedKeyboard keyboard([](int, uint8_t*) {});
        Lockstep join(Lockstep::Role::Join, keyboard, *b, clock, {});
        std::string error;
        EXPECT_FALSE(join.greet("somewhere:1", 200, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST(LockstepTest, TheHostLetsAStrangerGoAndWaitsForAPlayer) {
    TakingTurns clock;
    auto [hostLink, joinLink] = platform::memoryLinkPair(clock);
    ScriptedKeyboard keyboard([](int, uint8_t*) {});
    Lockstep host(Lockstep::Role::Host, keyboard, *hostLink, clock, {});
    const uint8_t garbage[] = {0xFF, 0, 1};
    joinLink->send(garbage, sizeof garbage);
    uint8_t keys[256];
    host.readKeys(keys);
    EXPECT_EQ(host.phase(), Lockstep::Phase::Local);
    std::vector<uint8_t> message;
    EXPECT_EQ(joinLink->poll(message, 100), platform::Transport::Event::Disconnected);
}

TEST(NetPacketTest, StartSettingsAreTakenAtTheirLimitsAndRefusedBeyond) {
    net::Settings edge;
    edge.seed = ~0ull;
    edge.selectedRow = 4;
    edge.arrowX = -4096;
    edge.arrowY = 4096;
    edge.isComputer[0] = 1;
    edge.warDays = net::kMaxWarDays;
    edge.palmTrees = 10;
    edge.strength[1] = 5;
    edge.inputDelay = net::kMaxInputDelay;
    const std::vector<uint8_t> bytes = net::encodeStart(edge);
    net::Packet packet;
    std::string error;
    ASSERT_EQ(net::decode(bytes.data(), bytes.size(), packet, error), net::Decoded::Ok) << error;
    EXPECT_EQ(packet.settings.seed, edge.seed);
    EXPECT_EQ(packet.settings.arrowX, -4096);
    EXPECT_EQ(packet.settings.arrowY, 4096);
    EXPECT_EQ(packet.settings.warDays, net::kMaxWarDays);
    EXPECT_EQ(packet.settings.strength[1], 5);

    const std::vector<std::function<void(net::Settings&)>> beyond = {
        [](net::Settings& s) { s.selectedRow = 5; },
        [](net::Settings& s) { s.selectedRow = -1; },
        [](net::Settings& s) { s.arrowX = 4097; },
        [](net::Settings& s) { s.arrowY = -4097; },
        [](net::Settings& s) { s.isComputer[1] = 2; },
        [](net::Settings& s) { s.warDays = 0; },
        [](net::Settings& s) { s.warDays = net::kMaxWarDays + 1; },
        [](net::Settings& s) { s.palmTrees = 11; },
        [](net::Settings& s) { s.palmTrees = 0; },
        [](net::Settings& s) { s.strength[0] = 0; },
        [](net::Settings& s) { s.strength[1] = 6; },
        [](net::Settings& s) { s.inputDelay = 0; }};
    for (size_t i = 0; i < beyond.size(); ++i) {
        net::Settings s = edge;
        beyond[i](s);
        const std::vector<uint8_t> bad = net::encodeStart(s);
        EXPECT_EQ(net::decode(bad.data(), bad.size(), packet, error), net::Decoded::Bad) << i;
        EXPECT_EQ(error, "start message with menu settings out of range") << i;
    }
    // One byte short or long is refused, whatever it says.
    for (size_t size : {bytes.size() - 1, bytes.size() + 1}) {
        std::vector<uint8_t> off = bytes;
        off.resize(size);
        EXPECT_EQ(net::decode(off.data(), off.size(), packet, error), net::Decoded::Bad) << size;
        EXPECT_EQ(error, "start message of " + std::to_string(size) + " bytes, expected 56");
    }
}

}  // namespace
