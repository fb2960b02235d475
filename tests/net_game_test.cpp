// Whole games between two machines: forked children on the headless backend
// over ENet on the loopback address, directly or through a lossy relay.
#include <gtest/gtest.h>

#include <thread>

#include "golden_support/golden_run.h"
#include "support/net_instance.h"

namespace {

using namespace net_instance;

class NetGameTest : public ::testing::Test {
  protected:
    NetGameTest() {
        oneDayOfComputers(host, join);
        tracePath = ::testing::TempDir() + "kestova_net_" + std::to_string(getpid());
    }

    // Runs the two machines, optionally through a relay; returns both traces.
    std::pair<Trace, Trace> play(Lockstep::Options options, int limitMs, bool relayed = false) {
        int fds[2];
        EXPECT_EQ(pipe(fds), 0);
        const pid_t hostPid =
            spawn(Lockstep::Role::Host, host, 0, fds[1], options, tracePath + ".host");
        close(fds[1]);
        uint16_t port = 0;
        pollfd ready{fds[0], POLLIN, 0};
        if (::poll(&ready, 1, 10000) > 0) {
            EXPECT_EQ(read(fds[0], &port, sizeof port), ssize_t(sizeof port));
        }
        close(fds[0]);
        std::unique_ptr<Relay> relay;
        if (relayed) relay = std::make_unique<Relay>(port, 100, 30, 0.10, 7);
        const pid_t joinPid = spawn(Lockstep::Role::Join, join, relay ? relay->port() : port, -1,
                                    options, tracePath + ".join");
        Trace joined, hosted;
        joined.exitCode = reap(joinPid, limitMs, relay.get());
        hosted.exitCode = reap(hostPid, 15000, relay.get());
        Trace h = readTrace(tracePath + ".host"), j = readTrace(tracePath + ".join");
        h.exitCode = hosted.exitCode;
        j.exitCode = joined.exitCode;
        if (relay) {
            relayDropped = relay->dropped();
            relayPassed = relay->passed();
        }
        std::remove((tracePath + ".host").c_str());
        std::remove((tracePath + ".join").c_str());
        return {h, j};
    }

    Player host, join;
    std::string tracePath;
    size_t relayDropped = 0, relayPassed = 0;
};

TEST_F(NetGameTest, BothMachinesPlayTheSameWarDayAsOneMachineOnTheCombinedKeys) {
    Lockstep::Options options;
    auto [h, j] = play(options, 120000);
    ASSERT_EQ(h.exitCode, 0);
    ASSERT_EQ(j.exitCode, 0);
    EXPECT_TRUE(h.notices.empty()) << h.notices[0];
    EXPECT_TRUE(j.notices.empty()) << j.notices[0];
    ASSERT_TRUE(h.endScreen);
    ASSERT_TRUE(j.endScreen);
    EXPECT_TRUE(h.inputDelay == 2 && j.inputDelay == 2);  // fitted to the loopback
    // One machine: the golden run of a match from the host's start on both
    // streams' keys, each held back by the input delay.
    golden::Recording combined;
    combined.seed = uint32_t(host.calendar);
    std::copy(host.menu, host.menu + 5, combined.menu);
    golden::RunHooks hooks;
    hooks.driver = [&](int read, uint8_t held[256]) {
        const int tick = read - 1 - h.inputDelay;
        if (tick >= 0) {
            streamKeys(host, tick, held);
            streamKeys(join, tick, held);
        }
        return false;
    };
    Trace alone;
    hooks.onFrameStart = [&](int reads) {
        alone.frames.push_back(std::to_string(reads) + " " + std::to_string(stateDigest()));
        alone.endScreen = shown(*Form1, Form1->endScreen);
        return !alone.endScreen && reads < kMaxTicks;
    };
    ASSERT_EQ(golden::runRecording(combined, hooks), 0);
    ASSERT_TRUE(alone.endScreen);
    ASSERT_GT(h.frames.size(), 500u);
    ASSERT_EQ(h.frames.size(), j.frames.size());
    ASSERT_EQ(h.frames.size(), alone.frames.size());
    for (size_t f = 0; f < h.frames.size(); ++f) {
        ASSERT_EQ(h.frames[f], j.frames[f]) << "frame " << f;
        ASSERT_EQ(h.frames[f], alone.frames[f]) << "frame " << f;
    }
}

TEST_F(NetGameTest, BothWholeProgramsRunAlikeFromTheMenuThroughPauseAndEscapeToTheirEnd) {
    host.wholeProgram = join.wholeProgram = true;
    auto [h, j] = play({}, 120000);
    ASSERT_EQ(h.exitCode, 0);
    ASSERT_EQ(j.exitCode, 0);
    EXPECT_TRUE(h.endScreen);
    ASSERT_GT(h.frames.size(), 100u);
    EXPECT_EQ(h.frames, j.frames);
}

TEST_F(NetGameTest, ThroughASlowLossyRelayTheMatchStillCompletesAlike) {
    // 100 ms each way, up to 30 ms of jitter, a tenth of the datagrams
    // lost, at the delay fitted to it.
    auto [h, j] = play({}, 90000, true);
    ASSERT_EQ(h.exitCode, 0);
    ASSERT_EQ(j.exitCode, 0);
    EXPECT_GT(relayDropped, 10u);
    EXPECT_TRUE(h.notices.empty()) << h.notices[0];
    EXPECT_TRUE(j.notices.empty()) << j.notices[0];
    ASSERT_TRUE(h.endScreen);
    ASSERT_TRUE(j.endScreen);
    ASSERT_EQ(h.frames, j.frames);
    // A lost datagram costs a resend, never a wait near the 5 s of leaving.
    EXPECT_LT(h.longestStallMs, 1000u);
    EXPECT_LT(j.longestStallMs, 1000u);
    std::printf("relay: %zu datagrams passed, %zu dropped; longest stalls %u and %u ms\n",
                relayPassed, relayDropped, h.longestStallMs, j.longestStallMs);
}

TEST_F(NetGameTest, WhenTheOtherMachineGoesThisOnePlaysOnAlone) {
    struct Case {
        const char* where;
        int tick;
        bool crash;
    } cases[] = {
        {"menu", 3, false},         // the host starts the match at tick 5
        {"title card", 20, false},  // the first title card waits from tick 10
        {"match", 300, true},       // gone without a word
    };
    for (const Case& c : cases) {
        join.leaveAtTick = c.tick;
        join.crash = c.crash;
        auto [h, j] = play({}, 30000);
        EXPECT_EQ(j.exitCode, 0) << c.where;
        ASSERT_EQ(h.exitCode, 0) << c.where;
        ASSERT_EQ(h.notices.size(), 1u) << c.where;
        EXPECT_EQ(h.notices[0], "the other player left") << c.where;
        EXPECT_TRUE(h.endScreen) << c.where;
        // Silence is noticed after its 5 s, and not much later.
        EXPECT_LT(h.longestStallMs, c.crash ? 7000u : 1500u) << c.where;
        if (c.crash) {
            EXPECT_GE(h.longestStallMs, 4000u) << c.where;
        }
    }
}

TEST(NetJoinTest, AJoinThatCannotHappenFailsWithOneLine) {
    platform::HeadlessSystem headless;
    std::string error;
    // Nobody listens: bind a port, then let it go.
    uint16_t closed = 0;
    {
        platform::EnetLink link = platform::enetListen(0, "127.0.0.1");
        closed = link.port;
    }
    EXPECT_EQ(NetPlay::join("127.0.0.1", closed, headless, platform::steadyClock(), error, {}, 500),
              nullptr);
    EXPECT_EQ(error, "no answer from 127.0.0.1:" + std::to_string(closed));

    // A host that answers the greeting with garbage.
    platform::EnetLink stranger = platform::enetListen(0, "127.0.0.1");
    std::thread talker([&] {
        std::vector<uint8_t> message;
        const uint8_t garbage[] = {'H', 'T', 'T', 'P', '/', '1'};
        for (int i = 0; i < 100; ++i) {
            const auto event = stranger.transport->poll(message, 10);
            if (event == platform::Transport::Event::Message) {
                stranger.transport->send(garbage, sizeof garbage);
            }
        }
    });
    EXPECT_EQ(NetPlay::join("127.0.0.1", stranger.port, headless, platform::steadyClock(), error,
                            {}, 1000),
              nullptr);
    talker.join();
    EXPECT_EQ(error, "127.0.0.1:" + std::to_string(stranger.port) +
                         ": not a Kestova game (not a Kestova message)");
}

}  // namespace
