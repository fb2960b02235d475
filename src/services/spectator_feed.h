#pragma once
// The host's side of watching: spectators take seats on the host's link,
// get the session's recording so far, then every tick's keys as the two
// players settle them. Nothing here ever waits: a spectator that cannot keep
// up is let go, and the players never notice one.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/system.h"
#include "platform/watch_seats.h"
#include "services/key_log.h"
#include "services/net_packet.h"
#include "services/recording.h"

class SpectatorFeed {
  public:
    struct Options {
        net::Identity identity;  // a spectator must run the same
        uint32_t maxWatchers = 8;
        // A caller that has not said hello by then is let go.
        uint32_t helloWithinMs = 2000;
        // A spectator is let go once more than the recording it was sent on
        // joining plus this much is still unacknowledged: 40 bytes a read
        // make this about 30 s of the menu's fast key reads, several minutes
        // of a match's one read a frame.
        size_t slackBytes = 512 * 1024;
    };

    SpectatorFeed(platform::WatchSeats& seats, platform::Clock& clock, Options options);
    // Tells every spectator the session is over.
    ~SpectatorFeed();

    // The session starts here: from now on spectators are sent `start` and
    // every tick after it. Before, a caller hears there is no match yet.
    void begin(const replay::Recording& start);
    bool begun() const { return begun_; }
    // One settled read: the keys the game reads, and those a pad marked as
    // held before (0x80 each). Sent to every spectator.
    void tick(const uint8_t keys[256], const uint8_t marks[256]);
    // Takes the seats' news: callers, greetings, leavers, laggards.
    void serve();
    // Ends watching: every spectator is told `reason` and let go.
    void close(const std::string& reason);

    // Spectators that follow the session (callers yet to greet are not counted).
    uint32_t watching() const;
    const replay::Recording& recording() const { return rec_; }

    // How many watch, each time that changes.
    std::function<void(uint32_t watching)> onCount;
    // A line for the host's terminal when a spectator is let go for a fault.
    std::function<void(const std::string& line)> onNotice;

  private:
    struct Watcher {
        uint64_t joinedMs = 0;
        bool live = false;  // sent the catch-up, now gets the ticks
        size_t allowance = 0;
    };
    void greet(int seat, Watcher& watcher, const std::vector<uint8_t>& message);
    void letGo(int seat, const std::string& reason, const std::string& notice);
    void send(int seat, const std::vector<uint8_t>& bytes);
    void counted();

    platform::WatchSeats& seats_;
    platform::Clock& clock_;
    Options options_;
    bool begun_ = false;
    bool closed_ = false;
    replay::Recording rec_;
    std::unique_ptr<replay::KeyLog> log_;
    std::map<int, Watcher> watchers_;
    uint32_t lastCount_ = 0;
};
