#include "services/net_packet.h"

#include <cstdio>
#include <cstring>

namespace net {

namespace {

constexpr uint8_t kMarker0 = 'K';
constexpr uint8_t kMarker1 = 'V';
constexpr size_t kHeader = 4;  // marker, version, type
constexpr size_t kStartSize = kHeader + 8 + 11 * 4;
constexpr size_t kTicksHead = kHeader + 4 + 4 + 2;  // ack, first tick, count
constexpr size_t kDigestSize = kHeader + 4 + 8;
constexpr size_t kStampSize = kHeader + 4;

class Writer {
  public:
    explicit Writer(Type type) { bytes_ = {kMarker0, kMarker1, kProtocolVersion, uint8_t(type)}; }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes_.push_back(uint8_t(v >> (8 * i)));
    }
    void u64(uint64_t v) {
        for (int i = 0; i < 8; ++i) bytes_.push_back(uint8_t(v >> (8 * i)));
    }
    void u16(uint16_t v) {
        bytes_.push_back(uint8_t(v));
        bytes_.push_back(uint8_t(v >> 8));
    }
    void raw(const uint8_t* data, size_t size) { bytes_.insert(bytes_.end(), data, data + size); }
    std::vector<uint8_t> take() { return std::move(bytes_); }

  private:
    std::vector<uint8_t> bytes_;
};

// Reads little-endian fields; the caller has checked the size first.
class Reader {
  public:
    explicit Reader(const uint8_t* data) : at_(data + kHeader) {}
    uint32_t u32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(at_[i]) << (8 * i);
        at_ += 4;
        return v;
    }
    int32_t i32() { return int32_t(u32()); }
    uint16_t u16() {
        const uint16_t v = uint16_t(at_[0] | at_[1] << 8);
        at_ += 2;
        return v;
    }
    uint64_t u64() {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v |= uint64_t(at_[i]) << (8 * i);
        at_ += 8;
        return v;
    }
    void raw(uint8_t* out, size_t size) {
        if (size == 0) return;  // an empty vector's data may be null
        std::memcpy(out, at_, size);
        at_ += size;
    }

  private:
    const uint8_t* at_;
};

bool within(int32_t v, int32_t lo, int32_t hi) {
    return v >= lo && v <= hi;
}

bool sizeIs(size_t size, size_t want, const char* what, std::string& error) {
    if (size == want) return true;
    error = std::string(what) + " message of " + std::to_string(size) + " bytes, expected " +
            std::to_string(want);
    return false;
}

}  // namespace

std::string describe(const Identity& identity) {
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(identity.dataHash));
    return (identity.game.empty() ? std::string("an unnamed build") : identity.game) +
           " with data " + hash;
}

std::vector<uint8_t> encodeHello(const Identity& identity) {
    Writer w(Type::Hello);
    const std::string name = identity.game.substr(0, kMaxGameName);
    w.u64(identity.dataHash);
    w.raw(reinterpret_cast<const uint8_t*>(name.data()), name.size());
    return w.take();
}
std::vector<uint8_t> encodeReady() {
    return Writer(Type::Ready).take();
}

std::vector<uint8_t> encodeStart(const Settings& s) {
    Writer w(Type::Start);
    w.u64(s.seed);
    for (int32_t v :
         {s.selectedRow, s.arrowX, s.arrowY, s.isComputer[0], s.isComputer[1], s.warDays,
          s.palmTrees, s.strength[0], s.strength[1], s.inputDelay, s.roundTripMs}) {
        w.u32(uint32_t(v));
    }
    return w.take();
}

namespace {

std::vector<uint8_t> encodeRun(Type type, uint32_t ack, uint32_t first,
                               const std::vector<uint8_t>& keys) {
    Writer w(type);
    w.u32(ack);
    w.u32(first);
    w.u16(uint16_t(keys.size() / kTickBytes));
    w.raw(keys.data(), keys.size() / kTickBytes * kTickBytes);
    return w.take();
}

std::vector<uint8_t> encodeStamp(Type type, uint32_t stamp) {
    Writer w(type);
    w.u32(stamp);
    return w.take();
}

}  // namespace

std::vector<uint8_t> encodeTicks(uint32_t ack, uint32_t first, const std::vector<uint8_t>& keys) {
    return encodeRun(Type::Ticks, ack, first, keys);
}

std::vector<uint8_t> encodeGoodbye(uint32_t ack, uint32_t first, const std::vector<uint8_t>& keys) {
    return encodeRun(Type::Goodbye, ack, first, keys);
}

std::vector<uint8_t> encodePing(uint32_t stamp) {
    return encodeStamp(Type::Ping, stamp);
}

std::vector<uint8_t> encodePong(uint32_t stamp) {
    return encodeStamp(Type::Pong, stamp);
}

std::vector<uint8_t> encodeDigest(uint32_t tick, uint64_t digest) {
    Writer w(Type::Digest);
    w.u32(tick);
    w.u64(digest);
    return w.take();
}

Decoded decode(const uint8_t* data, size_t size, Packet& out, std::string& error) {
    out = Packet();
    if (data == nullptr || size < kHeader) {
        error = "message of " + std::to_string(size) + " bytes is too short";
        return Decoded::Bad;
    }
    if (data[0] != kMarker0 || data[1] != kMarker1) {
        error = "not a Kestova message";
        return Decoded::Bad;
    }
    out.version = data[2];
    if (out.version != kProtocolVersion) {
        error = "network version " + std::to_string(out.version) + ", this program speaks " +
                std::to_string(kProtocolVersion);
        return Decoded::WrongVersion;
    }
    Reader r(data);
    switch (data[3]) {
        case uint8_t(Type::Hello):
            out.type = Type::Hello;
            if (size < kHeader + 8 || size > kHeader + 8 + kMaxGameName) {
                error = "greeting of " + std::to_string(size) + " bytes";
                return Decoded::Bad;
            }
            out.identity.dataHash = r.u64();
            out.identity.game.assign(reinterpret_cast<const char*>(data) + kHeader + 8,
                                     size - kHeader - 8);
            for (char c : out.identity.game) {
                // Printed to the player: plain text only.
                if (c < 0x20 || c > 0x7E) {
                    error = "greeting with a program name that is not plain text";
                    return Decoded::Bad;
                }
            }
            return Decoded::Ok;
        case uint8_t(Type::Ready):
            out.type = Type::Ready;
            if (!sizeIs(size, kHeader, "ready", error)) return Decoded::Bad;
            return Decoded::Ok;
        case uint8_t(Type::Start): {
            out.type = Type::Start;
            if (!sizeIs(size, kStartSize, "start", error)) return Decoded::Bad;
            Settings& s = out.settings;
            s.seed = r.u64();
            s.selectedRow = r.i32();
            s.arrowX = r.i32();
            s.arrowY = r.i32();
            s.isComputer[0] = r.i32();
            s.isComputer[1] = r.i32();
            s.warDays = r.i32();
            s.palmTrees = r.i32();
            s.strength[0] = r.i32();
            s.strength[1] = r.i32();
            s.inputDelay = r.i32();
            s.roundTripMs = r.i32();
            // The menu keeps its arrows near the screen; anything far off is
            // not a menu this program drew.
            if (!within(s.selectedRow, 0, 4) || !within(s.arrowX, -4096, 4096) ||
                !within(s.arrowY, -4096, 4096) || !within(s.isComputer[0], 0, 1) ||
                !within(s.isComputer[1], 0, 1) || !within(s.warDays, 1, kMaxWarDays) ||
                !within(s.palmTrees, 1, 10) || !within(s.strength[0], 1, 5) ||
                !within(s.strength[1], 1, 5) || !within(s.inputDelay, 1, kMaxInputDelay) ||
                !within(s.roundTripMs, 0, kMaxRoundTripMs)) {
                error = "start message with menu settings out of range";
                return Decoded::Bad;
            }
            return Decoded::Ok;
        }
        case uint8_t(Type::Ticks):
        case uint8_t(Type::Goodbye): {
            out.type = Type(data[3]);
            const char* what = out.type == Type::Ticks ? "ticks" : "goodbye";
            const uint32_t most = out.type == Type::Ticks ? kMaxTicksPerDatagram : kMaxGoodbyeTicks;
            if (size < kTicksHead) {
                sizeIs(size, kTicksHead, what, error);
                return Decoded::Bad;
            }
            out.ack = r.u32();
            out.tick = r.u32();
            const uint32_t count = r.u16();
            if (count > most) {
                error = std::string(what) + " message of " + std::to_string(count) +
                        " ticks, at most " + std::to_string(most);
                return Decoded::Bad;
            }
            if (!sizeIs(size, kTicksHead + count * kTickBytes, what, error)) return Decoded::Bad;
            out.keys.resize(count * kTickBytes);
            r.raw(out.keys.data(), out.keys.size());
            if (out.ack > kMaxTick || uint64_t(out.tick) + count > kMaxTick) {
                error = std::string(what) + " message past tick " + std::to_string(kMaxTick);
                return Decoded::Bad;
            }
            return Decoded::Ok;
        }
        case uint8_t(Type::Ping):
        case uint8_t(Type::Pong):
            out.type = Type(data[3]);
            if (!sizeIs(size, kStampSize, out.type == Type::Ping ? "ping" : "pong", error))
                return Decoded::Bad;
            out.stamp = r.u32();
            return Decoded::Ok;
        case uint8_t(Type::Digest):
            out.type = Type::Digest;
            if (!sizeIs(size, kDigestSize, "state digest", error)) return Decoded::Bad;
            out.tick = r.u32();
            out.digest = r.u64();
            break;
        default:
            error = "unknown message type " + std::to_string(data[3]);
            return Decoded::Bad;
    }
    if (out.tick > kMaxTick) {
        error = "tick " + std::to_string(out.tick) + " out of range";
        return Decoded::Bad;
    }
    return Decoded::Ok;
}

void packKeys(const uint8_t state[256], uint8_t bits[32]) {
    std::memset(bits, 0, 32);
    for (int code = 0; code < 256; ++code) {
        if (state[code] & 0x80) bits[code / 8] |= uint8_t(1u << (code % 8));
    }
}

void unpackKeys(const uint8_t bits[32], uint8_t state[256]) {
    for (int code = 0; code < 256; ++code) {
        state[code] = (bits[code / 8] >> (code % 8)) & 1u ? 0x80 : 0;
    }
}

}  // namespace net
