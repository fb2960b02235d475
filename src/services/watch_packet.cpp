#include "services/watch_packet.h"

#include <algorithm>
#include <cstring>

namespace watch {

namespace {

constexpr uint8_t kMarker0 = 'K';
constexpr uint8_t kMarker1 = 'W';
constexpr size_t kHeader = 4;  // marker, version, type
constexpr size_t kTickSize = kHeader + 4 + 32;
constexpr size_t kMarkedTickSize = kTickSize + 32;

std::vector<uint8_t> header(Type type) {
    return {kMarker0, kMarker1, kVersion, uint8_t(type)};
}

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

uint32_t getU32(const uint8_t* at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(at[i]) << (8 * i);
    return v;
}

bool plainText(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

net::Decoded bad(std::string& error, const std::string& why) {
    error = why;
    return net::Decoded::Bad;
}

}  // namespace

bool isWatchMessage(const uint8_t* data, size_t size) {
    return data != nullptr && size >= 2 && data[0] == kMarker0 && data[1] == kMarker1;
}

std::vector<uint8_t> encodeHello(const net::Identity& identity) {
    std::vector<uint8_t> out = header(Type::Hello);
    putU32(out, uint32_t(identity.dataHash));
    putU32(out, uint32_t(identity.dataHash >> 32));
    const std::string name = identity.game.substr(0, net::kMaxGameName);
    out.insert(out.end(), name.begin(), name.end());
    return out;
}

std::vector<uint8_t> encodeNoMatch() {
    return header(Type::NoMatch);
}

std::vector<uint8_t> encodeCatchUp(const std::vector<uint8_t>& recording) {
    std::vector<uint8_t> out = header(Type::CatchUp);
    out.insert(out.end(), recording.begin(), recording.end());
    return out;
}

std::vector<uint8_t> encodeTick(uint32_t tick, const uint8_t keys[32], const uint8_t marks[32]) {
    std::vector<uint8_t> out = header(Type::Tick);
    putU32(out, tick);
    out.insert(out.end(), keys, keys + 32);
    // Marks are rare: a tick without any leaves them out.
    if (std::any_of(marks, marks + 32, [](uint8_t b) { return b != 0; }))
        out.insert(out.end(), marks, marks + 32);
    return out;
}

std::vector<uint8_t> encodeOver(const std::string& reason) {
    std::vector<uint8_t> out = header(Type::Over);
    const std::string text = reason.substr(0, kMaxReason);
    out.insert(out.end(), text.begin(), text.end());
    return out;
}

std::vector<uint8_t> encodeWatching(uint32_t count) {
    std::vector<uint8_t> out = header(Type::Watching);
    putU32(out, count);
    return out;
}

net::Decoded decode(const uint8_t* data, size_t size, Message& out, std::string& error) {
    out = Message();
    if (data == nullptr || size < kHeader) {
        return bad(error, "spectator message of " + std::to_string(size) + " bytes is too short");
    }
    if (!isWatchMessage(data, size)) return bad(error, "not a Kestova spectator message");
    out.version = data[2];
    if (out.version != kVersion) {
        error = "spectator version " + std::to_string(out.version) + ", this program speaks " +
                std::to_string(kVersion);
        return net::Decoded::WrongVersion;
    }
    const uint8_t* body = data + kHeader;
    const size_t length = size - kHeader;
    const auto sized = [&](size_t want, const char* what) {
        if (size == want) return true;
        error = std::string(what) + " message of " + std::to_string(size) + " bytes, expected " +
                std::to_string(want);
        return false;
    };
    switch (data[3]) {
        case uint8_t(Type::Hello):
            out.type = Type::Hello;
            if (length < 8 || length > 8 + net::kMaxGameName) {
                return bad(error, "spectator greeting of " + std::to_string(size) + " bytes");
            }
            out.identity.dataHash = uint64_t(getU32(body)) | uint64_t(getU32(body + 4)) << 32;
            out.identity.game.assign(reinterpret_cast<const char*>(body + 8), length - 8);
            if (!plainText(out.identity.game)) {
                return bad(error, "spectator greeting with a program name that is not plain text");
            }
            return net::Decoded::Ok;
        case uint8_t(Type::NoMatch):
            out.type = Type::NoMatch;
            return sized(kHeader, "no-match") ? net::Decoded::Ok : net::Decoded::Bad;
        case uint8_t(Type::CatchUp):
            out.type = Type::CatchUp;
            if (length == 0 || length > kMaxCatchUp) {
                return bad(error, "catch-up recording of " + std::to_string(length) + " bytes");
            }
            out.bytes.assign(body, body + length);
            return net::Decoded::Ok;
        case uint8_t(Type::Tick):
            out.type = Type::Tick;
            if (size != kTickSize && size != kMarkedTickSize) {
                return bad(error, "tick message of " + std::to_string(size) + " bytes, expected " +
                                      std::to_string(kTickSize) + " or " +
                                      std::to_string(kMarkedTickSize));
            }
            out.tick = getU32(body);
            if (out.tick > net::kMaxTick) {
                return bad(error, "tick " + std::to_string(out.tick) + " out of range");
            }
            std::memcpy(out.keys, body + 4, 32);
            if (size == kMarkedTickSize) {
                std::memcpy(out.marks, body + 36, 32);
                if (std::all_of(out.marks, out.marks + 32, [](uint8_t b) { return b == 0; })) {
                    return bad(error, "tick message with empty marks");
                }
            }
            return net::Decoded::Ok;
        case uint8_t(Type::Over):
            out.type = Type::Over;
            if (length > kMaxReason) {
                return bad(error, "ending message of " + std::to_string(size) + " bytes");
            }
            out.reason.assign(reinterpret_cast<const char*>(body), length);
            if (!plainText(out.reason)) return bad(error, "ending message that is not plain text");
            return net::Decoded::Ok;
        case uint8_t(Type::Watching):
            out.type = Type::Watching;
            if (!sized(kHeader + 4, "watching")) return net::Decoded::Bad;
            out.watching = getU32(body);
            if (out.watching > kMaxWatchers) {
                return bad(error,
                           "watching count " + std::to_string(out.watching) + " out of range");
            }
            return net::Decoded::Ok;
        default:
            return bad(error, "unknown spectator message type " + std::to_string(data[3]));
    }
}

}  // namespace watch
