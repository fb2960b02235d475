#include "services/lockstep.h"

#include <algorithm>
#include <cstring>

#include "services/dik_codes.h"

namespace {

constexpr uint32_t kNoteRepeatMs = 100;
// The link is served at every read that comes this long after the last
// service (every frame of the game) and whenever a read waits.
constexpr uint64_t kServiceEveryMs = 15;
// Our ticks go at every read that comes this long after the read before
// (every frame) and whenever a read waits; reads closer together (a key
// wait's fast polls) gather into one datagram, sent by the first read that
// waits or at the top of the next frame.
constexpr uint64_t kGatherMs = 15;
// A flood of messages is handled in slices, so a read always ends.
constexpr int kMessagesPerService = 4096;
// Digests neither side has matched yet; more means the partner sends none.
constexpr size_t kMaxOpenDigests = 64;
// While a read waits, our ticks go again this often: the partner may be
// waiting for one of ours that was lost.
constexpr uint64_t kResendMs = 20;
// Agreed digests kept for a report.
constexpr size_t kKeptDigests = 8;

uint32_t msBetween(uint64_t a, uint64_t b) {
    return uint32_t(b - a);
}

}  // namespace

Lockstep::Lockstep(Role role, platform::InputDevice& local, platform::Transport& link,
                   platform::Clock& clock, Options options)
    : role_(role),
      local_(local),
      link_(link),
      clock_(clock),
      options_(options),
      // The first read serves the link.
      lastServiceMs_(clock.milliseconds() - kServiceEveryMs) {
    options_.inputDelay = std::clamp(options_.inputDelay, 0, kMaxInputDelay);
    options_.digestEveryFrames = std::max(options_.digestEveryFrames, 1);
    link_.setPartnerTimeout(kPatientMs);
}

Lockstep::~Lockstep() = default;

int Lockstep::delayFor(uint32_t roundTripMs) {
    const uint32_t oneWay = roundTripMs / 2 + roundTripMs % 2;
    const int frames = int((oneWay + kTickMs - 1) / kTickMs) + 1;
    return std::clamp(frames, kFittedDelayMin, kFittedDelayMax);
}

void Lockstep::readKeys(uint8_t state[256]) {
    local_.readKeys(state);
    if (phase_ != Phase::Lockstep) {
        // The host answers a greeting while its start-up screens run.
        if (phase_ == Phase::Local && serviceDue()) service(0);
        return;
    }
    const bool emergency = (state[DIK_F10] & 0x80) != 0;
    uint8_t mine[256];
    std::memcpy(mine, state, sizeof mine);
    // The emergency exit and the window's own keys act only where pressed.
    mine[DIK_F10] = 0;
    mine[DIK_F12] = 0;
    // Our ticks still unacknowledged stay in the ring; a partner that lets
    // them pile up that far is not playing this program.
    if (ownNext_ - ownAcked_ >= kRing) {
        end("the other player does not acknowledge our keys");
        return;
    }
    net::packKeys(mine, own_[ownNext_ % kRing]);
    ownNext_ += 1;
    const uint64_t now = clock_.milliseconds();
    if (now - lastReadMs_ >= kGatherMs || remoteNext_ <= tick_) sendTicks();
    lastReadMs_ = now;
    if (serviceDue()) service(0);

    if (!waitFor([this] { return remoteNext_ > tick_; }, true)) return;  // local from now on
    uint8_t ours[256], theirs[256];
    net::unpackKeys(own_[tick_ % kRing], ours);
    net::unpackKeys(remote_[tick_ % kRing], theirs);
    for (int code = 0; code < 256; ++code)
        state[code] = uint8_t((ours[code] | theirs[code]) & 0x80);
    if (emergency) state[DIK_F10] = 0x80;
    tick_ += 1;
    if (!remoteDigests_.empty()) compareDigests();
    // Its last tick played: now it is gone.
    if (phase_ == Phase::Lockstep && partnerDone()) end("the other player left");
}

bool Lockstep::greet(const std::string& where, uint32_t timeoutMs, std::string& error) {
    send(net::encodeHello(options_.identity));
    const uint64_t until = clock_.milliseconds() + timeoutMs;
    std::vector<uint8_t> message;
    while (clock_.milliseconds() < until) {
        const platform::Transport::Event event = link_.poll(message, 50);
        if (event == platform::Transport::Event::Disconnected) {
            error = where + ": the host closed the connection";
            return false;
        }
        if (event == platform::Transport::Event::Busy) {
            error = where + ": host busy (it is playing with someone else)";
            return false;
        }
        if (event != platform::Transport::Event::Message) continue;
        net::Packet packet;
        std::string why;
        switch (net::decode(message.data(), message.size(), packet, why)) {
            case net::Decoded::Ok:
                if (packet.type == net::Type::Hello && packet.identity != options_.identity) {
                    error = where + ": version mismatch (the host runs " +
                            net::describe(packet.identity) + ", this program " +
                            net::describe(options_.identity) + ")";
                    return false;
                }
                if (packet.type == net::Type::Hello) {
                    greeted_ = true;
                    return true;
                }
                error = where + ": the host sent a message out of turn";
                return false;
            case net::Decoded::WrongVersion:
                error = where + ": version mismatch (the host speaks network version " +
                        std::to_string(packet.version) + ", this program " +
                        std::to_string(net::kProtocolVersion) + ")";
                return false;
            case net::Decoded::Bad:
                error = where + ": not a Kestova game (" + why + ")";
                return false;
        }
    }
    error = "no answer from " + where;
    return false;
}

bool Lockstep::start(net::Settings& settings) {
    if (phase_ != Phase::Local) return false;
    if (role_ == Role::Host) {
        // Both machines at their menus: neither waits on the other's
        // start-up screens once the lockstep runs. A fitted delay waits for
        // its round trips too.
        const bool fitted = options_.inputDelay == 0;
        starting_ = true;
        if (partnerReady_) startPings();
        if (!waitFor(
                [this, fitted] {
                    return greeted_ && partnerReady_ && (!fitted || pingSamples_ >= kPingSamples);
                },
                false)) {
            return false;
        }
        settings.inputDelay = fitted ? delayFor(uint32_t(roundTripMs_)) : options_.inputDelay;
        settings.roundTripMs = std::clamp(roundTripMs_, 0, net::kMaxRoundTripMs);
        start_ = settings;
        send(net::encodeStart(settings));
    } else {
        send(net::encodeReady());
        if (!waitFor([this] { return haveStart_; }, false)) return false;
        settings = start_;
        roundTripMs_ = start_.roundTripMs;
    }
    options_.inputDelay = start_.inputDelay;
    phase_ = Phase::Lockstep;
    framesSinceDigest_ = 0;
    // From now on both read keys all the time: silence means gone.
    link_.setPartnerTimeout(options_.silenceMs);
    // The first ticks, before any read reaches them, hold no keys.
    std::memset(own_, 0, sizeof own_);
    ownNext_ = uint32_t(options_.inputDelay);
    sendTicks();
    service(0);
    return phase_ == Phase::Lockstep;
}

bool Lockstep::digestDue() {
    if (phase_ != Phase::Lockstep) return false;
    if (sentNext_ != ownNext_) sendTicks();
    if (++framesSinceDigest_ < options_.digestEveryFrames) return false;
    framesSinceDigest_ = 0;
    return true;
}

void Lockstep::offerDigest(uint64_t digest) {
    if (phase_ != Phase::Lockstep) return;
    ownDigests_[tick_] = digest;
    send(net::encodeDigest(tick_, digest));
    compareDigests();
}

void Lockstep::leave() {
    if (phase_ == Phase::Over) return;
    // Reliable, and ahead of the disconnect: the partner plays every tick
    // it did not have yet before it ends.
    if (phase_ == Phase::Lockstep && !partnerGone_)
        send(net::encodeGoodbye(remoteNext_, ownAcked_, ownTicks(net::kMaxGoodbyeTicks)));
    phase_ = Phase::Over;
    endReason_ = "left";
    link_.disconnect();
}

void Lockstep::linger(uint32_t ms) {
    const uint64_t until = clock_.milliseconds() + ms;
    while (phase_ != Phase::Over && clock_.milliseconds() < until) {
        // Our last ticks, if lost, go again: no read will send them.
        if (phase_ == Phase::Lockstep && ownAcked_ != ownNext_ &&
            clock_.milliseconds() - lastTicksMs_ >= kResendMs) {
            sendTicks();
        }
        service(20);
    }
}

void Lockstep::send(const std::vector<uint8_t>& bytes) {
    link_.send(bytes.data(), bytes.size());
}

std::vector<uint8_t> Lockstep::ownTicks(uint32_t most) const {
    const uint32_t count = std::min(ownNext_ - ownAcked_, most);
    std::vector<uint8_t> keys(size_t(count) * net::kTickBytes);
    for (uint32_t i = 0; i < count; ++i) {
        std::memcpy(&keys[size_t(i) * net::kTickBytes], own_[(ownAcked_ + i) % kRing],
                    net::kTickBytes);
    }
    return keys;
}

void Lockstep::sendTicks() {
    lastTicksMs_ = clock_.milliseconds();
    sentNext_ = ownNext_;
    const std::vector<uint8_t> bytes =
        net::encodeTicks(remoteNext_, ownAcked_, ownTicks(net::kMaxTicksPerDatagram));
    link_.sendUnreliable(bytes.data(), bytes.size());
}

bool Lockstep::serviceDue() {
    return clock_.milliseconds() - lastServiceMs_ >= kServiceEveryMs;
}

void Lockstep::service(uint32_t timeoutMs) {
    lastServiceMs_ = clock_.milliseconds();
    std::vector<uint8_t> message;
    platform::Transport::Event event = link_.poll(message, timeoutMs);
    for (int n = 0; n < kMessagesPerService && phase_ != Phase::Over; ++n) {
        if (event == platform::Transport::Event::None) break;
        handle(event, message);
        event = link_.poll(message, 0);
    }
    if (event != platform::Transport::Event::None && phase_ != Phase::Over) handle(event, message);
}

bool Lockstep::waitFor(const std::function<bool()>& ready, bool silence) {
    if (ready()) return phase_ != Phase::Over;
    const uint64_t began = clock_.milliseconds();
    uint64_t lastNote = began;
    bool noted = false;
    while (phase_ != Phase::Over && !ready()) {
        service(5);
        if (ready()) break;
        const uint64_t now = clock_.milliseconds();
        if (phase_ == Phase::Lockstep && now - lastTicksMs_ >= kResendMs) sendTicks();
        const uint32_t waited = msBetween(began, now);
        if (silence && waited >= options_.silenceMs) {
            end("the other player left");
            break;
        }
        if (waited >= options_.noteAfterMs &&
            (!noted || msBetween(lastNote, now) >= kNoteRepeatMs)) {
            noted = true;
            lastNote = now;
            if (onWaiting) onWaiting(true);
        }
    }
    if (silence)
        longestStallMs_ = std::max(longestStallMs_, msBetween(began, clock_.milliseconds()));
    if (noted && onWaiting) onWaiting(false);
    return phase_ != Phase::Over && ready();
}

void Lockstep::handle(platform::Transport::Event event, const std::vector<uint8_t>& message) {
    switch (event) {
        case platform::Transport::Event::Message:
            handleMessage(message);
            return;
        case platform::Transport::Event::Disconnected:
            if (role_ == Role::Host && phase_ == Phase::Local) {
                // Gone before the game began: wait for someone else.
                greeted_ = false;
                partnerReady_ = false;
                return;
            }
            // What it sent before it went is still played.
            partnerGone_ = true;
            if (phase_ != Phase::Lockstep || partnerDone()) end("the other player left");
            return;
        default:
            return;
    }
}

void Lockstep::takeTicks(const net::Packet& packet) {
    // An acknowledgement may arrive late, behind a newer one.
    if (packet.ack > ownNext_) {
        end("bad packet from the other player: tick " + std::to_string(packet.ack) +
            " acknowledged before it was sent");
        return;
    }
    ownAcked_ = std::max(ownAcked_, packet.ack);
    // Every run starts at or before the first tick we lack: the partner
    // starts at what we acknowledged.
    const uint32_t count = packet.count();
    if (packet.tick > remoteNext_ || uint64_t(packet.tick) + count > uint64_t(tick_) + kRing) {
        end("bad packet from the other player: tick " + std::to_string(packet.tick) + " where " +
            std::to_string(remoteNext_) + " was due");
        return;
    }
    for (uint32_t i = remoteNext_ - packet.tick; i < count; ++i) {
        std::memcpy(remote_[remoteNext_ % kRing], &packet.keys[size_t(i) * net::kTickBytes],
                    net::kTickBytes);
        remoteNext_ += 1;
    }
}

void Lockstep::startPings() {
    pingSamples_ = 0;
    roundTripMs_ = -1;
    send(net::encodePing(uint32_t(clock_.milliseconds())));
}

void Lockstep::takePong(uint32_t stamp) {
    const uint32_t sample = uint32_t(clock_.milliseconds()) - stamp;
    // A stamp far off is not one of ours; it still counts as an answer.
    if (sample <= uint32_t(net::kMaxRoundTripMs))
        roundTripMs_ = roundTripMs_ < 0 ? int(sample) : std::min(roundTripMs_, int(sample));
    if (++pingSamples_ < kPingSamples) send(net::encodePing(uint32_t(clock_.milliseconds())));
}

void Lockstep::handleMessage(const std::vector<uint8_t>& message) {
    if (phase_ == Phase::Over || (onOther && onOther(message))) return;
    net::Packet packet;
    std::string why;
    const net::Decoded decoded = net::decode(message.data(), message.size(), packet, why);
    if (role_ == Role::Host && phase_ == Phase::Local && !greeted_) {
        // Not yet anyone's game: a caller of another version hears ours and
        // is let go; a stranger is simply let go.
        const bool hello = decoded == net::Decoded::Ok && packet.type == net::Type::Hello;
        if (hello && packet.identity == options_.identity) {
            greeted_ = true;
            send(net::encodeHello(options_.identity));
            return;
        }
        if (hello || decoded == net::Decoded::WrongVersion) {
            send(net::encodeHello(options_.identity));
            if (onNotice && hello) {
                onNotice("a player with " + net::describe(packet.identity) +
                         " was turned away: this is " + net::describe(options_.identity));
            }
        }
        link_.disconnect();
        return;
    }
    if (decoded != net::Decoded::Ok) {
        end("bad packet from the other player: " + why);
        return;
    }
    switch (packet.type) {
        case net::Type::Ready:
            if (role_ != Role::Host || phase_ != Phase::Local || partnerReady_) break;
            partnerReady_ = true;
            if (starting_) startPings();
            return;
        case net::Type::Start:
            if (role_ != Role::Join || phase_ != Phase::Local || haveStart_) break;
            start_ = packet.settings;
            haveStart_ = true;
            return;
        case net::Type::Ticks:
            // The host's first ticks may come with its settings, or even
            // before them (then they come again).
            if ((phase_ == Phase::Lockstep || haveStart_) && !partnerGone_) takeTicks(packet);
            return;
        case net::Type::Goodbye:
            if ((phase_ != Phase::Lockstep && !haveStart_) || partnerGone_) break;
            takeTicks(packet);
            partnerGone_ = true;
            if (phase_ == Phase::Lockstep && partnerDone()) end("the other player left");
            return;
        case net::Type::Ping:
            if (role_ != Role::Join) break;
            send(net::encodePong(packet.stamp));
            return;
        case net::Type::Pong:
            if (role_ != Role::Host || pingSamples_ >= kPingSamples) break;
            takePong(packet.stamp);
            return;
        case net::Type::Digest:
            if (phase_ != Phase::Lockstep && !haveStart_) break;
            if (packet.tick > tick_ + kRing || remoteDigests_.size() >= kMaxOpenDigests ||
                remoteDigests_.count(packet.tick) != 0) {
                end("bad packet from the other player: state digest of tick " +
                    std::to_string(packet.tick));
                return;
            }
            remoteDigests_[packet.tick] = packet.digest;
            compareDigests();
            return;
        case net::Type::Hello:
            break;
    }
    end("bad packet from the other player: a message out of turn");
}

void Lockstep::compareDigests() {
    for (auto mine = ownDigests_.begin(); mine != ownDigests_.end();) {
        auto theirs = remoteDigests_.find(mine->first);
        if (theirs == remoteDigests_.end()) {
            ++mine;
            continue;
        }
        if (theirs->second != mine->second) {
            outOfStep(mine->first, mine->second, theirs->second);
            return;
        }
        agreed_.push_back({mine->first, mine->second, theirs->second});
        if (agreed_.size() > kKeptDigests) agreed_.pop_front();
        remoteDigests_.erase(theirs);
        mine = ownDigests_.erase(mine);
    }
    // A digest one side took at a tick the other went past without one: the
    // two no longer even agree where frames begin.
    if (!remoteDigests_.empty() && remoteDigests_.begin()->first < tick_ &&
        ownDigests_.count(remoteDigests_.begin()->first) == 0) {
        outOfStep(remoteDigests_.begin()->first, 0, remoteDigests_.begin()->second);
        return;
    }
    if (ownDigests_.size() > kMaxOpenDigests) end("the other player sends no state digests");
}

void Lockstep::outOfStep(uint32_t tick, uint64_t own, uint64_t partner) {
    std::string notice =
        "the two games went out of step at tick " + std::to_string(tick) + "; network play stopped";
    if (onOutOfStep) {
        std::vector<replay::NetDigest> digests(agreed_.begin(), agreed_.end());
        digests.push_back({tick, own, partner});
        const std::string report = onOutOfStep(digests);
        if (!report.empty()) notice += "; " + report;
    }
    end(notice);
}

void Lockstep::end(const std::string& notice) {
    if (phase_ == Phase::Over) return;
    phase_ = Phase::Over;
    endReason_ = notice;
    link_.disconnect();
    if (onNotice) onNotice(notice);
}
