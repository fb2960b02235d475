#include "services/watch_client.h"

#include "services/watch_packet.h"

namespace {

// A flood of ticks is taken in slices, so that a frame always gets its turn.
constexpr int kMessagesPerService = 4096;

}  // namespace

WatchClient::WatchClient(platform::Transport& link, platform::Clock& clock, net::Identity identity)
    : link_(link), clock_(clock), identity_(std::move(identity)) {}

bool WatchClient::greet(const std::string& where, uint32_t timeoutMs, std::string& error) {
    const std::vector<uint8_t> hello = watch::encodeHello(identity_);
    link_.send(hello.data(), hello.size());
    const uint64_t until = clock_.milliseconds() + timeoutMs;
    std::vector<uint8_t> message;
    bool greeted = false;
    while (clock_.milliseconds() < until) {
        const platform::Transport::Event event = link_.poll(message, 50);
        if (event == platform::Transport::Event::Busy) {
            error = where + ": host full (" + std::to_string(watch::kMaxWatchers) +
                    " spectators are watching already)";
            return false;
        }
        if (event == platform::Transport::Event::Disconnected) {
            error = where + ": the host closed the connection";
            return false;
        }
        if (event != platform::Transport::Event::Message) continue;
        watch::Message m;
        std::string why;
        const net::Decoded decoded = watch::decode(message.data(), message.size(), m, why);
        if (decoded == net::Decoded::WrongVersion) {
            error = where + ": version mismatch (the host speaks spectator version " +
                    std::to_string(m.version) + ", this program " +
                    std::to_string(watch::kVersion) + ")";
            return false;
        }
        if (decoded == net::Decoded::Bad) {
            error = where + ": not a Kestova host (" + why + ")";
            return false;
        }
        if (m.type == watch::Type::Hello && !greeted) {
            if (m.identity != identity_) {
                error = where + ": version mismatch (the host runs " + net::describe(m.identity) +
                        ", this program " + net::describe(identity_) + ")";
                return false;
            }
            greeted = true;
        } else if (m.type == watch::Type::NoMatch && greeted) {
            error = where + ": no match to watch yet (the host waits for its player); " +
                    "try again once it has begun";
            return false;
        } else if (m.type == watch::Type::Over && greeted) {
            error = where + ": the host let this spectator go (" + m.reason + ")";
            return false;
        } else if (m.type == watch::Type::CatchUp && greeted) {
            if (!replay::parse(m.bytes.data(), m.bytes.size(), rec_, why)) {
                error = where + ": damaged recording from the host (" + why + ")";
                return false;
            }
            if (rec_.kind != "match" || rec_.firstRead != 0) {
                error = where + ": the host sent a recording that is not a session";
                return false;
            }
            log_ = std::make_unique<replay::KeyLog>(rec_);
            return true;
        } else {
            error = where + ": the host sent a message out of turn";
            return false;
        }
    }
    error = "no answer from " + where;
    return false;
}

void WatchClient::service(uint32_t timeoutMs) {
    std::vector<uint8_t> message;
    platform::Transport::Event event = link_.poll(message, timeoutMs);
    for (int n = 0; n < kMessagesPerService && !over_; ++n) {
        if (event == platform::Transport::Event::None) return;
        handle(event, message);
        event = link_.poll(message, 0);
    }
    if (event != platform::Transport::Event::None && !over_) handle(event, message);
}

void WatchClient::handle(platform::Transport::Event event, const std::vector<uint8_t>& message) {
    if (event == platform::Transport::Event::Disconnected ||
        event == platform::Transport::Event::Busy) {
        end("the host left");
        return;
    }
    if (event != platform::Transport::Event::Message || log_ == nullptr) return;
    watch::Message m;
    std::string why;
    if (watch::decode(message.data(), message.size(), m, why) != net::Decoded::Ok) {
        end("bad message from the host: " + why);
        return;
    }
    if (m.type == watch::Type::Over) {
        end(m.reason.empty() ? std::string("the host ended watching") : m.reason);
        return;
    }
    if (m.type != watch::Type::Tick) {
        end("bad message from the host: a message out of turn");
        return;
    }
    if (m.tick != uint32_t(rec_.reads) || m.tick >= net::kMaxTick) {
        end("bad message from the host: tick " + std::to_string(m.tick) + " where " +
            std::to_string(rec_.reads) + " was due");
        return;
    }
    uint8_t keys[256], marks[256];
    net::unpackKeys(m.keys, keys);
    net::unpackKeys(m.marks, marks);
    log_->append(keys, marks);
}

void WatchClient::leave() {
    if (!over_) end("left");
}

void WatchClient::end(const std::string& reason) {
    if (over_) return;
    over_ = true;
    endReason_ = reason;
    link_.disconnect();
}
