#include "services/lockstep.h"

#include <algorithm>
#include <cstring>

#include "services/dik_codes.h"

namespace {

constexpr uint32_t kNoteRepeatMs = 100;
// Outgoing ticks are flushed at every read that comes this long after the
// last flush (every frame of the game) and whenever a read waits; reads in
// between (a key wait's fast polls) gather into one datagram, and fewer
// datagrams mean fewer losses to wait out.
constexpr uint64_t kServiceEveryMs = 15;
// A flood of messages is handled in slices, so a read always ends.
constexpr int kMessagesPerService = 4096;
// Digests neither side has matched yet; more means the partner sends none.
constexpr size_t kMaxOpenDigests = 64;

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
    const uint32_t ahead = tick_ + uint32_t(options_.inputDelay);
    net::packKeys(mine, own_[ahead % kRing]);
    send(net::encodeKeys(ahead, mine));
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
        // start-up screens once the lockstep runs.
        if (!waitFor([this] { return greeted_ && partnerReady_; }, false)) return false;
        start_ = settings;
        send(net::encodeStart(settings));
    } else {
        send(net::encodeReady());
        if (!waitFor([this] { return haveStart_; }, false)) return false;
        settings = start_;
    }
    phase_ = Phase::Lockstep;
    framesSinceDigest_ = 0;
    // From now on both read keys all the time: silence means gone.
    link_.setPartnerTimeout(options_.silenceMs);
    // The first ticks, before any read reaches them, hold no keys.
    const uint8_t none[256] = {};
    for (int t = 0; t < options_.inputDelay; ++t) send(net::encodeKeys(uint32_t(t), none));
    service(0);
    return phase_ == Phase::Lockstep;
}

bool Lockstep::digestDue() {
    if (phase_ != Phase::Lockstep) return false;
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
    phase_ = Phase::Over;
    endReason_ = "left";
    link_.disconnect();
}

void Lockstep::linger(uint32_t ms) {
    const uint64_t until = clock_.milliseconds() + ms;
    while (phase_ != Phase::Over && clock_.milliseconds() < until) service(20);
}

void Lockstep::send(const std::vector<uint8_t>& bytes) {
    link_.send(bytes.data(), bytes.size());
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
            end("the other player left");
            return;
        default:
            return;
    }
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
            return;
        case net::Type::Start:
            if (role_ != Role::Join || phase_ != Phase::Local || haveStart_) break;
            start_ = packet.settings;
            haveStart_ = true;
            return;
        case net::Type::Keys:
            // The host's first ticks may come with its settings.
            if (phase_ != Phase::Lockstep && !haveStart_) break;
            if (packet.tick != remoteNext_ || packet.tick - tick_ >= kRing) {
                end("bad packet from the other player: tick " + std::to_string(packet.tick) +
                    " where " + std::to_string(remoteNext_) + " was due");
                return;
            }
            std::memcpy(remote_[packet.tick % kRing], packet.keys, sizeof packet.keys);
            remoteNext_ += 1;
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
            end("the two games went out of step at tick " + std::to_string(mine->first) +
                "; network play stopped");
            return;
        }
        remoteDigests_.erase(theirs);
        mine = ownDigests_.erase(mine);
    }
    // A digest one side took at a tick the other went past without one: the
    // two no longer even agree where frames begin.
    if (!remoteDigests_.empty() && remoteDigests_.begin()->first < tick_ &&
        ownDigests_.count(remoteDigests_.begin()->first) == 0) {
        end("the two games went out of step at tick " +
            std::to_string(remoteDigests_.begin()->first) + "; network play stopped");
        return;
    }
    if (ownDigests_.size() > kMaxOpenDigests) end("the other player sends no state digests");
}

void Lockstep::end(const std::string& notice) {
    if (phase_ == Phase::Over) return;
    phase_ = Phase::Over;
    endReason_ = notice;
    link_.disconnect();
    if (onNotice) onNotice(notice);
}
