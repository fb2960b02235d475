// Network messages as the other machine could send them: the decoder
// refuses what is not a well-formed message of this version with a reason,
// re-encodes what it accepts to the same bytes, and a machine in lockstep
// fed any run of messages ends network play or plays on, never reading or
// writing outside its tick buffers.
#include <cstring>

#include "fuzz_support.h"
#include "platform/system.h"
#include "platform/transport.h"
#include "services/lockstep.h"
#include "services/net_packet.h"

namespace {

class NoKeys : public platform::InputDevice {
  public:
    void readKeys(uint8_t state[256]) override { std::memset(state, 0, 256); }
    void readMouse(platform::MouseState&) override {}
    void setMousePos(int, int) override {}
};

std::vector<uint8_t> encodeAgain(const net::Packet& p) {
    switch (p.type) {
        case net::Type::Hello:
            return net::encodeHello(p.identity);
        case net::Type::Ready:
            return net::encodeReady();
        case net::Type::Start:
            return net::encodeStart(p.settings);
        case net::Type::Ticks:
            return net::encodeTicks(p.ack, p.tick, p.keys);
        case net::Type::Goodbye:
            return net::encodeGoodbye(p.ack, p.tick, p.keys);
        case net::Type::Digest:
            return net::encodeDigest(p.tick, p.digest);
        case net::Type::Ping:
            return net::encodePing(p.stamp);
        case net::Type::Pong:
            return net::encodePong(p.stamp);
    }
    return {};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The input is a run of messages, each after one byte of its length.
    std::vector<std::vector<uint8_t>> messages;
    for (size_t at = 0; at < size;) {
        const size_t n = std::min<size_t>(data[at], size - at - 1);
        messages.emplace_back(data + at + 1, data + at + 1 + n);
        at += 1 + n;
    }
    for (const auto& m : messages) {
        net::Packet packet;
        std::string error;
        switch (net::decode(m.data(), m.size(), packet, error)) {
            case net::Decoded::Ok:
                fuzz::require(encodeAgain(packet) == m,
                              "an accepted message encodes back to itself");
                break;
            case net::Decoded::WrongVersion:
                fuzz::require(packet.version != net::kProtocolVersion, "a wrong version differs");
                break;
            case net::Decoded::Bad:
                fuzz::require(!error.empty(), "a refused message says why");
                break;
        }
    }

    // A host in lockstep hears the run from its partner, and so does a
    // joining machine from its host; the odd messages go unreliably.
    for (const Lockstep::Role role : {Lockstep::Role::Host, Lockstep::Role::Join}) {
        fuzz::WaitingClock clock;
        auto [own, partner] = platform::memoryLinkPair(clock);
        NoKeys keyboard;
        Lockstep::Options options;
        options.inputDelay = 2;
        options.silenceMs = 1;
        options.digestEveryFrames = 1;
        Lockstep machine(role, keyboard, *own, clock, options);
        net::Settings settings;
        const std::vector<std::vector<uint8_t>> opening =
            role == Lockstep::Role::Host
                ? std::vector<std::vector<uint8_t>>{net::encodeHello(options.identity),
                                                    net::encodeReady()}
                : std::vector<std::vector<uint8_t>>{net::encodeStart(settings)};
        for (const auto& m : opening) partner->send(m.data(), m.size());
        if (!machine.start(settings)) continue;
        for (size_t i = 0; i < messages.size(); ++i) {
            const auto& m = messages[i];
            if (i % 2 == 0) {
                partner->send(m.data(), m.size());
            } else {
                partner->sendUnreliable(m.data(), m.size());
            }
        }
        uint8_t keys[256];
        for (int read = 0; read < 8 && machine.phase() == Lockstep::Phase::Lockstep; ++read) {
            if (machine.digestDue()) machine.offerDigest(uint64_t(read));
            machine.readKeys(keys);
        }
        fuzz::require(machine.phase() != Lockstep::Phase::Over || !machine.endReason().empty(),
                      "network play ends with a reason");
        machine.leave();
    }
    return 0;
}
