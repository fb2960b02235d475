#pragma once
// Network play in lockstep, as a keyboard that the engine's input update
// reads through. Both machines run the same program on the same keys: at
// every read each sends its own keyboard for a tick a few reads ahead and
// gets back, for this tick, the other machine's. A key is down when it is
// down on either machine, as on one shared keyboard.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "platform/system.h"
#include "platform/transport.h"
#include "services/net_packet.h"

class Lockstep : public platform::InputDevice {
  public:
    enum class Role { Host, Join };
    enum class Phase { Local, Lockstep, Over };

    struct Options {
        // Reads between a key being read and its use: hides the latency.
        int inputDelay = 4;
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
    static constexpr int kMaxInputDelay = 64;
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
    // Ends network play (the player quits): the partner is told at once.
    void leave();
    // Keeps the link served, so that the partner still gets what was sent,
    // until it goes or `ms` pass.
    void linger(uint32_t ms);

    Phase phase() const { return phase_; }
    uint32_t tick() const { return tick_; }
    uint32_t longestStallMs() const { return longestStallMs_; }
    const std::string& endReason() const { return endReason_; }

    // The player is told why network play ended (a line of text).
    std::function<void(const std::string& notice)> onNotice;
    // About every 100 ms of a wait past noteAfterMs: true; false once the wait
    // that showed the note is over. The shell shows a note and keeps the
    // window alive.
    std::function<void(bool waiting)> onWaiting;
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
    void compareDigests();

    Role role_;
    platform::InputDevice& local_;
    platform::Transport& link_;
    platform::Clock& clock_;
    Options options_;
    Phase phase_ = Phase::Local;
    bool greeted_ = false;       // the partner said hello in our version
    bool partnerReady_ = false;  // the joining machine is at its menu
    bool haveStart_ = false;     // the host's settings came
    net::Settings start_;
    uint32_t tick_ = 0;            // reads done in lockstep
    uint32_t remoteNext_ = 0;      // the partner's next tick to arrive
    uint8_t own_[kRing][32] = {};  // our keys, by tick
    uint8_t remote_[kRing][32] = {};
    int framesSinceDigest_ = 0;
    std::map<uint32_t, uint64_t> ownDigests_, remoteDigests_;
    uint64_t lastServiceMs_;
    uint32_t longestStallMs_ = 0;
    std::string endReason_;
};
