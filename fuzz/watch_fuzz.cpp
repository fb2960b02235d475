// Spectator messages as either end could send them: the decoder refuses what
// is not well formed with a reason and re-encodes what it accepts to the same
// bytes; a host's feed fed any run from a spectator, and a spectator fed any
// run from a host, let go or go on, always with a reason, never reading
// outside what they hold.
#include <cstring>

#include "fuzz_support.h"
#include "platform/system.h"
#include "platform/watch_seats.h"
#include "services/spectator_feed.h"
#include "services/watch_client.h"
#include "services/watch_packet.h"

namespace {

std::vector<uint8_t> encodeAgain(const watch::Message& m) {
    switch (m.type) {
        case watch::Type::Hello:
            return watch::encodeHello(m.identity);
        case watch::Type::NoMatch:
            return watch::encodeNoMatch();
        case watch::Type::CatchUp:
            return watch::encodeCatchUp(m.bytes);
        case watch::Type::Tick:
            return watch::encodeTick(m.tick, m.keys, m.marks);
        case watch::Type::Over:
            return watch::encodeOver(m.reason);
        case watch::Type::Watching:
            return watch::encodeWatching(m.watching);
    }
    return {};
}

// Plays the host's side of a greeting, then sends the run; past its end a
// poll waits its time out on the clock, as a quiet link does.
class ScriptedHost : public platform::Transport {
  public:
    ScriptedHost(std::vector<std::vector<uint8_t>> run, platform::Clock& clock)
        : run_(std::move(run)), clock_(clock) {}
    Event poll(std::vector<uint8_t>& message, uint32_t timeoutMs) override {
        if (next_ >= run_.size()) {
            clock_.sleepMs(timeoutMs);
            return Event::None;
        }
        message = run_[next_++];
        return Event::Message;
    }
    bool send(const uint8_t*, size_t) override { return true; }
    bool sendUnreliable(const uint8_t*, size_t) override { return true; }
    void disconnect() override {}
    void setPartnerTimeout(uint32_t) override {}

  private:
    std::vector<std::vector<uint8_t>> run_;
    platform::Clock& clock_;
    size_t next_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The input is a run of messages, each after two bytes of its length.
    std::vector<std::vector<uint8_t>> messages;
    for (size_t at = 0; at + 2 <= size;) {
        const size_t n =
            std::min<size_t>(size_t(data[at]) | size_t(data[at + 1]) << 8, size - at - 2);
        messages.emplace_back(data + at + 2, data + at + 2 + n);
        at += 2 + n;
    }
    for (const auto& m : messages) {
        watch::Message message;
        std::string error;
        switch (watch::decode(m.data(), m.size(), message, error)) {
            case net::Decoded::Ok:
                fuzz::require(encodeAgain(message) == m,
                              "an accepted message encodes back to itself");
                break;
            case net::Decoded::WrongVersion:
                fuzz::require(message.version != watch::kVersion, "a wrong version differs");
                break;
            case net::Decoded::Bad:
                fuzz::require(!error.empty(), "a refused message says why");
                break;
        }
    }

    // A host's feed hears the run from a spectator while ticks go out.
    fuzz::WaitingClock clock;
    auto seats = platform::memoryWatchSeats(clock);
    SpectatorFeed::Options options;
    SpectatorFeed feed(*seats, clock, options);
    std::string notice;
    feed.onNotice = [&notice](const std::string& line) { notice = line; };
    replay::Recording start;
    feed.begin(start);
    auto spectator = seats->connect();
    uint8_t keys[256] = {}, marks[256] = {};
    for (const auto& m : messages) {
        spectator->send(m.data(), m.size());
        keys[m.size() & 0xFF] ^= 0x80;
        feed.tick(keys, marks);
        feed.serve();
    }
    fuzz::require(feed.watching() <= 1, "one spectator at most");

    // A spectator hears the run from a host that greeted it.
    std::vector<std::vector<uint8_t>> run = {watch::encodeHello(options.identity)};
    run.insert(run.end(), messages.begin(), messages.end());
    ScriptedHost host(run, clock);
    WatchClient client(host, clock, options.identity);
    std::string error;
    if (client.greet("fuzz", 1000, error)) {
        for (size_t i = 0; i < messages.size() && !client.over(); ++i) client.service(0);
        fuzz::require(!client.over() || !client.endReason().empty(), "watching ends with a reason");
    } else {
        fuzz::require(!error.empty(), "a failed greeting says why");
    }
    return 0;
}
