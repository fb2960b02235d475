#pragma once
// Network play in lockstep, as a keyboard that the engine's input update
// reads through. Both machines run the same program on the same keys: at
// every read each sends its own keyboard for a tick a few reads ahead and
// gets back, for this tick, the other machine's. A key is down when it is
// down on either machine, as on one shared keyboard.
//
// Ticks travel unreliably: every datagram repeats all of this machine's
// ticks the partner has not acknowledged and acknowledges the partner's, so
// a lost datagram costs one frame's wait at most, never a resend's.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/transport.h"
#include "services/net_packet.h"
#include "services/recording.h"

class Lockstep : public platform::InputDevice {
  public:
    enum class Role { Host, Join };
    enum class Phase { Local, Lockstep, Over };

    struct Options {
        // Reads between a key being read and its use: hides the latency.
        // 0: fitted to the round trip the host measures at the menu. The
        // host's choice holds on both machines.
        int inputDelay = 0;
        // A partner whose tick does not come for this long has gone.
        uint32_t silenceMs = 5000;
        // The waiting note is asked for after this long.
        uint32_t noteAfterMs = 500;
        // Frames between two state digests (about a second).
        int digestEveryFrames = 26;
        // This program and its data, told in the greeting: a partner with
        // another is refused.
        net::Identity identity;
    };
    // Reads sent ahead are kept in a ring this long; a partner further ahead
    // than that is not playing this program.
    static constexpr uint32_t kRing = 512;
    static constexpr int kMaxInputDelay = net::kMaxInputDelay;
    // The delay fitted to a round trip: the time a tick takes one way, in
    // frames of 38 ms rounded up, and one frame for the loss of a datagram
    // (the next one repeats it); 2 at least, 8 at most.
    static int delayFor(uint32_t roundTripMs);
    static constexpr int kFittedDelayMin = 2, kFittedDelayMax = 8;
    static constexpr uint32_t kTickMs = 38;
    // Round trips the host measures once both machines are at the set-up
    // menu; the shortest counts (a longer one met a resend).
    static constexpr int kPingSamples = 4;
    // Before the lockstep, a partner may be busy for a while without
    // answering (opening its window, loading its pictures).
    static constexpr uint32_t kPatientMs = 30000;

    // Waits on the link are measured by `clock`.
    Lockstep(Role role, platform::InputDevice& local, platform::Transport& link,
             platform::Clock& clock, Options options);
    ~Lockstep() override;

    void readKeys(uint8_t state[256]) override;
    void readMouse(platform::MouseState& state) override { local_.readMouse(state); }
    void setMousePos(int x, int y) override { local_.setMousePos(x, y); }
    // In lockstep the pads reach the game only as keys of the local device
    // (which sends them); before and after, they are read as usual.
    void readPads(platform::PadState pads[2]) override {
        if (phase_ == Phase::Lockstep) {
            pads[0] = pads[1] = {};
        } else {
            local_.readPads(pads);
        }
    }
    // F12 acts on this machine alone, as Alt+Enter does.
    bool screenshotRequested() override { return local_.screenshotRequested(); }
    bool muteRequested() override { return local_.muteRequested(); }

    // The joining machine, before its window opens: says hello and waits for
    // the host's. False with one line in `error` when the host does not
    // answer, is busy, sends garbage or plays another version or data.
    bool greet(const std::string& where, uint32_t timeoutMs, std::string& error);
    // At the set-up menu: the host sends `settings`, the joining machine
    // fills them in from the host's. Waits for the partner. True when the two
    // now run in lockstep; false when the partner left meanwhile.
    bool start(net::Settings& settings);
    // Called at the top of every frame of the main loop; true when a state
    // digest is due, to be handed to offerDigest before the frame runs.
    bool digestDue();
    void offerDigest(uint64_t digest);
    // Ends network play (the player quits): the partner is told at once,
    // with every tick it has not acknowledged, so it still plays them.
    void leave();
    // Keeps the link served, so that the partner still gets what was sent
    // (our unacknowledged ticks go again), until it goes or `ms` pass.
    void linger(uint32_t ms);

    Phase phase() const { return phase_; }
    uint32_t tick() const { return tick_; }
    uint32_t longestStallMs() const { return longestStallMs_; }
    // The delay in use (known from the start of the lockstep).
    int inputDelay() const { return options_.inputDelay; }
    // The round trip the host measured; -1 until known.
    int roundTripMs() const { return roundTripMs_; }
    const std::string& endReason() const { return endReason_; }

    // The player is told why network play ended (a line of text).
    std::function<void(const std::string& notice)> onNotice;
    // About every 100 ms of a wait past noteAfterMs: true; false once the wait
    // that showed the note is over. The shell shows a note and keeps the
    // window alive.
    std::function<void(bool waiting)> onWaiting;
    // The two games went out of step: this machine's last state digests, the
    // partner's beside them (the last one differs). What it returns (where a
    // report went) is added to the notice.
    std::function<std::string(const std::vector<replay::NetDigest>& digests)> onOutOfStep;
    // A message of another service sharing the link: true when it took it.
    std::function<bool(const std::vector<uint8_t>& message)> onOther;

  private:
    // Handles one event of the link; may end network play.
    void handle(platform::Transport::Event event, const std::vector<uint8_t>& message);
    void handleMessage(const std::vector<uint8_t>& message);
    void service(uint32_t timeoutMs);
    bool serviceDue();
    // Waits for `ready` with the note and the silence rule; false when
    // network play ended instead. `silence` false: wait for as long as it takes.
    bool waitFor(const std::function<bool()>& ready, bool silence);
    void end(const std::string& notice);
    void send(const std::vector<uint8_t>& bytes);
    // Our unacknowledged ticks (the oldest `most`) from `from` on.
    std::vector<uint8_t> ownTicks(uint32_t most) const;
    void sendTicks();
    // Takes the partner's ticks of a Ticks or Goodbye message.
    void takeTicks(const net::Packet& packet);
    // Once both machines wait at their menus, serving the link at once, the
    // round trips measured are the link's, not the start-up screens' frames.
    void startPings();
    void takePong(uint32_t stamp);
    void compareDigests();
    void outOfStep(uint32_t tick, uint64_t own, uint64_t partner);
    bool partnerDone() const { return partnerGone_ && remoteNext_ <= tick_; }

    Role role_;
    platform::InputDevice& local_;
    platform::Transport& link_;
    platform::Clock& clock_;
    Options options_;
    Phase phase_ = Phase::Local;
    bool greeted_ = false;       // the partner said hello in our version
    bool partnerReady_ = false;  // the joining machine is at its menu
    bool haveStart_ = false;     // the host's settings came
    bool starting_ = false;      // the host waits at its menu
    net::Settings start_;
    uint32_t tick_ = 0;                         // reads done in lockstep
    uint32_t remoteNext_ = 0;                   // the partner's next tick to arrive
    uint32_t ownNext_ = 0;                      // our next tick to be read
    uint32_t ownAcked_ = 0;                     // the partner holds our ticks before this
    uint32_t sentNext_ = 0;                     // our ticks before this went at least once
    bool partnerGone_ = false;                  // it left: its last ticks are played, then we end
    uint8_t own_[kRing][net::kTickBytes] = {};  // our keys, by tick
    uint8_t remote_[kRing][net::kTickBytes] = {};
    int framesSinceDigest_ = 0;
    std::map<uint32_t, uint64_t> ownDigests_, remoteDigests_;
    std::deque<replay::NetDigest> agreed_;  // the last digests both took alike
    int pingSamples_ = 0;
    int roundTripMs_ = -1;
    uint64_t lastServiceMs_;
    uint64_t lastTicksMs_ = 0;
    uint64_t lastReadMs_ = 0;
    uint32_t longestStallMs_ = 0;
    std::string endReason_;
};
