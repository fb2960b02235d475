// The lockstep keyboard on its own: two machines as two threads over the
// in-memory link, each with a scripted keyboard.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <random>
#include <thread>
#include <vector>

#include "platform/transport.h"
#include "services/dik_codes.h"
#include "services/lockstep.h"
#include "services/net_packet.h"

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
            platform::Transport& link, Lockstep::Options options = {})
        : keyboard(std::move(script)), lockstep(role, keyboard, link, options) {
        lockstep.onNotice = [this](const std::string& n) { notices.push_back(n); };
    }
    // Reads `count` times and keeps what the game would have seen.
    void play(int count, const std::function<void(int)>& beforeRead = nullptr) {
        for (int i = 0; i < count; ++i) {
            if (beforeRead) beforeRead(i);
            Keys keys(256);
            lockstep.readKeys(keys.data());
            seen.push_back(keys);
        }
    }
    ScriptedKeyboard keyboard;
    Lockstep lockstep;
    std::vector<Keys> seen;
    std::vector<std::string> notices;
};

// Reads of a start-up screen, some milliseconds apart.
void pause(int) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

class LockstepTest : public ::testing::Test {
  protected:
    LockstepTest() {
        auto [a, b] = platform::memoryLinkPair();
        hostLink = std::move(a);
        joinLink = std::move(b);
    }
    // Both machines reach the menu and start; the host's settings win.
    static void startBoth(Machine& host, Machine& join, net::Settings& hostSettings,
                          net::Settings& joinSettings) {
        std::thread t([&] { EXPECT_TRUE(join.lockstep.start(joinSettings)); });
        EXPECT_TRUE(host.lockstep.start(hostSettings));
        t.join();
    }
    std::unique_ptr<platform::Transport> hostLink, joinLink;
};

TEST_F(LockstepTest, BothSeeTheCombinedKeysOfTheSameTickAfterTheDelay) {
    Lockstep::Options options;
    options.inputDelay = 3;
    const std::vector<int> left = {DIK_W, DIK_A, DIK_LSHIFT, DIK_F10};
    const std::vector<int> right = {DIK_UP, DIK_LEFT, DIK_SPACE, DIK_F12};
    Machine host(Lockstep::Role::Host, randomKeys(11, left), *hostLink, options);
    Machine join(Lockstep::Role::Join, randomKeys(22, right), *joinLink, options);

    // The joiner greets first, as it does before its window opens.
    std::thread greeter([&] {
        std::string error;
        EXPECT_TRUE(join.lockstep.greet("127.0.0.1:1", 2000, error)) << error;
    });
    host.play(5, pause);  // the host answers while still in its start-up screens
    greeter.join();
    host.seen.clear();

    net::Settings mine;
    mine.seed = 0x123456789ABCDEFull;
    mine.isComputer[0] = 1;
    mine.warDays = 7;
    mine.palmTrees = 9;
    mine.selectedRow = 4;
    net::Settings theirs;
    startBoth(host, join, mine, theirs);
    EXPECT_EQ(theirs.seed, mine.seed);
    EXPECT_EQ(theirs.warDays, 7);
    EXPECT_EQ(theirs.palmTrees, 9);
    EXPECT_EQ(theirs.isComputer[0], 1);
    EXPECT_EQ(theirs.selectedRow, 4);

    const int kReads = 400;
    std::thread other([&] { join.play(kReads); });
    host.play(kReads);
    other.join();

    auto hostScript = randomKeys(11, left);
    auto joinScript = randomKeys(22, right);
    int pressed = 0;
    for (int t = 0; t < kReads; ++t) {
        uint8_t a[256] = {}, b[256] = {};
        if (t >= 3) {
            hostScript(5 + t - 3, a);  // five reads went before the start
            joinScript(t - 3, b);
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
        hostScript(5 + t, nowA);
        joinScript(t, nowB);
        EXPECT_EQ(host.seen[t][DIK_F10], nowA[DIK_F10]) << t;
        EXPECT_EQ(join.seen[t][DIK_F10], 0) << t;
        EXPECT_EQ(join.seen[t][DIK_F12], 0) << t;
    }
    EXPECT_GT(pressed, 500);
    EXPECT_TRUE(host.notices.empty());
    EXPECT_TRUE(join.notices.empty());
}

TEST_F(LockstepTest, APartnerWhoLeavesOrFallsSilentReleasesItsKeys) {
    Lockstep::Options options;
    options.inputDelay = 2;
    options.silenceMs = 300;
    options.noteAfterMs = 50;
    auto holdDown = [](int, uint8_t* keys) { keys[DIK_DOWN] = 0x80; };
    auto holdS = [](int, uint8_t* keys) { keys[DIK_S] = 0x80; };
    for (bool polite : {true, false}) {
        auto [a, b] = platform::memoryLinkPair();
        Machine host(Lockstep::Role::Host, holdS, *a, options);
        Machine join(Lockstep::Role::Join, holdDown, *b, options);
        std::thread greeter([&] {
            std::string error;
            EXPECT_TRUE(join.lockstep.greet("here", 1000, error));
        });
        host.play(3, pause);
        greeter.join();
        net::Settings s, t;
        startBoth(host, join, s, t);
        int waits = 0;
        host.lockstep.onWaiting = [&](bool waiting) { waits += waiting; };
        std::thread other([&] {
            join.play(20);
            // Quitting tells the other side; a hang says nothing at all.
            if (polite) join.lockstep.leave();
        });
        host.play(40);
        other.join();
        ASSERT_EQ(host.notices.size(), 1u) << polite;
        EXPECT_EQ(host.notices[0], "the other player left");
        EXPECT_EQ(host.lockstep.phase(), Lockstep::Phase::Over);
        EXPECT_TRUE(host.seen[15][DIK_DOWN] && host.seen[15][DIK_S]);
        EXPECT_FALSE(host.seen[39][DIK_DOWN]);  // released
        EXPECT_TRUE(host.seen[39][DIK_S]);      // and play goes on locally
        if (!polite) {
            EXPECT_GE(host.lockstep.longestStallMs(), 300u);
            EXPECT_GT(waits, 0);
        }
    }
}

// Sends raw bytes to the host as if they came from the joining machine, once
// the two are in lockstep, and returns what the host told its player.
std::vector<std::string> hostHears(
    const std::function<std::vector<std::vector<uint8_t>>()>& attack) {
    auto [a, b] = platform::memoryLinkPair();
    Lockstep::Options options;
    options.inputDelay = 1;
    options.silenceMs = 2000;
    Machine host(
        Lockstep::Role::Host, [](int, uint8_t*) {}, *a, options);
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

TEST_F(LockstepTest, HostileOrBrokenMessagesEndNetworkPlayWithAMessage) {
    const uint8_t none[256] = {};
    auto keys = [&](uint32_t tick) { return net::encodeKeys(tick, none); };
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
        {"out of step", {keys(0), keys(1), net::encodeDigest(0, 42)}, nullptr},
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

TEST_F(LockstepTest, DigestsThatDifferNameTheTick) {
    Lockstep::Options options;
    options.inputDelay = 2;
    options.digestEveryFrames = 2;
    Machine host(
        Lockstep::Role::Host, [](int, uint8_t*) {}, *hostLink, options);
    Machine join(
        Lockstep::Role::Join, [](int, uint8_t*) {}, *joinLink, options);
    std::thread greeter([&] {
        std::string error;
        EXPECT_TRUE(join.lockstep.greet("here", 1000, error));
    });
    host.play(2, pause);
    greeter.join();
    net::Settings s, t;
    startBoth(host, join, s, t);
    // Frames of three reads; the states agree until the fourth frame.
    auto frames = [](Machine& m, uint64_t base) {
        for (int frame = 0; frame < 8 && m.lockstep.phase() == Lockstep::Phase::Lockstep; ++frame) {
            if (m.lockstep.digestDue())
                m.lockstep.offerDigest(frame < 4 ? 7 : base + uint64_t(frame));
            m.play(3);
        }
    };
    std::thread other([&] { frames(join, 100); });
    frames(host, 200);
    other.join();
    ASSERT_FALSE(host.notices.empty());
    EXPECT_EQ(host.notices[0], "the two games went out of step at tick 15; network play stopped");
}

TEST_F(LockstepTest, AJoinFailsWithOneClearLine) {
    struct Case {
        std::vector<uint8_t> answer;  // empty: no answer at all
        const char* error;
    } cases[] = {
        {{}, "no answer from somewhere:1"},
        {{'K', 'V', 9, 1},
         "somewhere:1: version mismatch (the host speaks network version 9, this program 2)"},
        {{'G', 'E', 'T', ' ', '/'}, "somewhere:1: not a Kestova game (not a Kestova message)"},
        {net::encodeDigest(1, 2), "somewhere:1: the host sent a message out of turn"},
    };
    for (const Case& c : cases) {
        auto [a, b] = platform::memoryLinkPair();
        if (!c.answer.empty()) a->send(c.answer.data(), c.answer.size());
        ScriptedKeyboard keyboard([](int, uint8_t*) {});
        Lockstep join(Lockstep::Role::Join, keyboard, *b, {});
        std::string error;
        EXPECT_FALSE(join.greet("somewhere:1", 200, error));
        EXPECT_EQ(error, c.error);
    }
}

TEST_F(LockstepTest, TheHostLetsAStrangerGoAndWaitsForAPlayer) {
    ScriptedKeyboard keyboard([](int, uint8_t*) {});
    Lockstep host(Lockstep::Role::Host, keyboard, *hostLink, {});
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
    const std::vector<uint8_t> bytes = net::encodeStart(edge);
    net::Packet packet;
    std::string error;
    ASSERT_EQ(net::decode(bytes.data(), bytes.size(), packet, error), net::Decoded::Ok) << error;
    EXPECT_EQ(packet.settings.seed, edge.seed);
    EXPECT_EQ(packet.settings.arrowX, -4096);
    EXPECT_EQ(packet.settings.arrowY, 4096);
    EXPECT_EQ(packet.settings.warDays, net::kMaxWarDays);

    const std::vector<std::function<void(net::Settings&)>> beyond = {
        [](net::Settings& s) { s.selectedRow = 5; },
        [](net::Settings& s) { s.selectedRow = -1; },
        [](net::Settings& s) { s.arrowX = 4097; },
        [](net::Settings& s) { s.arrowY = -4097; },
        [](net::Settings& s) { s.isComputer[1] = 2; },
        [](net::Settings& s) { s.warDays = 0; },
        [](net::Settings& s) { s.warDays = net::kMaxWarDays + 1; },
        [](net::Settings& s) { s.palmTrees = 11; },
        [](net::Settings& s) { s.palmTrees = 0; }};
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
        EXPECT_EQ(error, "start message of " + std::to_string(size) + " bytes, expected 40");
    }
}

}  // namespace
