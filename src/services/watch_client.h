#pragma once
// The spectator's side of watching: greets the host, takes the session's
// recording so far, then adds each tick's keys to it as they come.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/system.h"
#include "platform/transport.h"
#include "services/key_log.h"
#include "services/net_packet.h"
#include "services/recording.h"

class WatchClient {
  public:
    WatchClient(platform::Transport& link, platform::Clock& clock, net::Identity identity);

    // Says hello and waits up to `timeoutMs` for the recording so far. False
    // with one line in `error`: no answer, host full, another version, no
    // match yet, or garbage.
    bool greet(const std::string& where, uint32_t timeoutMs, std::string& error);
    // Takes what came, waiting up to `timeoutMs` for the first of it.
    void service(uint32_t timeoutMs);
    // Leaves: the host hears at once.
    void leave();

    // Grows by one read per tick that came.
    const replay::Recording& recording() const { return rec_; }
    bool over() const { return over_; }
    // Why watching ended: the host's word, or what went wrong.
    const std::string& endReason() const { return endReason_; }

  private:
    void handle(platform::Transport::Event event, const std::vector<uint8_t>& message);
    void end(const std::string& reason);

    platform::Transport& link_;
    platform::Clock& clock_;
    net::Identity identity_;
    replay::Recording rec_;
    std::unique_ptr<replay::KeyLog> log_;
    bool over_ = false;
    std::string endReason_;
};
