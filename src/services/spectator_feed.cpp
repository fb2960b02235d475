#include "services/spectator_feed.h"

#include <vector>

#include "services/watch_packet.h"

SpectatorFeed::SpectatorFeed(platform::WatchSeats& seats, platform::Clock& clock, Options options)
    : seats_(seats), clock_(clock), options_(std::move(options)) {}

SpectatorFeed::~SpectatorFeed() {
    close("the host left");
}

void SpectatorFeed::begin(const replay::Recording& start) {
    rec_ = start;
    log_ = std::make_unique<replay::KeyLog>(rec_);
    begun_ = true;
}

void SpectatorFeed::tick(const uint8_t keys[256], const uint8_t marks[256]) {
    if (!begun_ || closed_) return;
    log_->append(keys, marks);
    uint8_t keyBits[32], markBits[32];
    net::packKeys(keys, keyBits);
    net::packKeys(marks, markBits);
    const std::vector<uint8_t> bytes =
        watch::encodeTick(uint32_t(rec_.reads - 1), keyBits, markBits);
    for (auto& [seat, watcher] : watchers_) {
        if (watcher.live) send(seat, bytes);
    }
}

void SpectatorFeed::serve() {
    if (closed_) return;
    int seat = 0;
    std::vector<uint8_t> message;
    // Each event is handled once; a flood waits for the next call.
    for (int n = 0; n < 64; ++n) {
        const platform::WatchSeats::Event event = seats_.next(seat, message);
        if (event == platform::WatchSeats::Event::None) break;
        if (event == platform::WatchSeats::Event::Joined) {
            if (watchers_.size() >= options_.maxWatchers) {
                seats_.refuse(seat);
                continue;
            }
            watchers_[seat].joinedMs = clock_.milliseconds();
        } else if (event == platform::WatchSeats::Event::Left) {
            watchers_.erase(seat);
        } else {
            auto found = watchers_.find(seat);
            if (found != watchers_.end()) greet(seat, found->second, message);
        }
    }
    const uint64_t now = clock_.milliseconds();
    for (auto it = watchers_.begin(); it != watchers_.end();) {
        const int s = it->first;
        const Watcher& w = (it++)->second;
        if (!w.live && now - w.joinedMs >= options_.helloWithinMs) {
            letGo(s, "no greeting in time", "");
        } else if (w.live && seats_.unacknowledged(s) > w.allowance) {
            letGo(s, "too far behind", "a spectator fell too far behind and was let go");
        }
    }
    counted();
}

void SpectatorFeed::greet(int seat, Watcher& watcher, const std::vector<uint8_t>& message) {
    watch::Message hello;
    std::string why;
    const net::Decoded decoded = watch::decode(message.data(), message.size(), hello, why);
    if (watcher.live || decoded != net::Decoded::Ok || hello.type != watch::Type::Hello) {
        // Our greeting lets a spectator of another version say which.
        if (decoded == net::Decoded::WrongVersion)
            send(seat, watch::encodeHello(options_.identity));
        if (decoded == net::Decoded::Ok) why = "a message out of turn";
        letGo(seat, "bad message: " + why, "a spectator was let go: bad message (" + why + ")");
        return;
    }
    send(seat, watch::encodeHello(options_.identity));
    if (hello.identity != options_.identity) {
        letGo(seat, "version mismatch", "");
        return;
    }
    if (!begun_) {
        send(seat, watch::encodeNoMatch());
        letGo(seat, "no match yet", "");
        return;
    }
    const std::vector<uint8_t> catchUp = watch::encodeCatchUp(replay::serialise(rec_));
    send(seat, catchUp);
    watcher.live = true;
    watcher.allowance = catchUp.size() + options_.slackBytes;
}

void SpectatorFeed::letGo(int seat, const std::string& reason, const std::string& notice) {
    if (!notice.empty() && onNotice) onNotice(notice);
    send(seat, watch::encodeOver(reason));
    seats_.release(seat);
    watchers_.erase(seat);
}

void SpectatorFeed::send(int seat, const std::vector<uint8_t>& bytes) {
    seats_.send(seat, bytes.data(), bytes.size());
}

uint32_t SpectatorFeed::watching() const {
    uint32_t live = 0;
    for (const auto& [seat, watcher] : watchers_) live += watcher.live ? 1 : 0;
    return live;
}

void SpectatorFeed::counted() {
    if (watching() == lastCount_) return;
    lastCount_ = watching();
    if (onCount) onCount(lastCount_);
}

void SpectatorFeed::close(const std::string& reason) {
    if (closed_) return;
    while (!watchers_.empty()) letGo(watchers_.begin()->first, reason, "");
    seats_.flush();
    closed_ = true;
    counted();
}
