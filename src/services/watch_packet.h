#pragma once
// The messages between a host and its spectators, and their strict decoder.
// They carry their own marker, so that neither kind is taken for the other.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "services/net_packet.h"

namespace watch {

// Raised whenever a message or its meaning changes.
constexpr uint8_t kVersion = 1;

// Hello: a spectator names its program; the host answers with its own.
// NoMatch: nothing to watch yet. CatchUp: the session's recording so far.
// Tick: the keys the game read at one tick, as settled by both players.
// Over: the session ended (or this spectator is let go), with the reason.
// Watching: how many watch now, host to its partner.
enum class Type : uint8_t { Hello = 1, NoMatch = 2, CatchUp = 3, Tick = 4, Over = 5, Watching = 6 };

// A recording longer than this is not a session that fits in memory here.
constexpr size_t kMaxCatchUp = 64u << 20;
constexpr size_t kMaxReason = 200;
constexpr uint32_t kMaxWatchers = 8;

struct Message {
    Type type = Type::Hello;
    uint8_t version = kVersion;
    net::Identity identity;      // Hello
    std::vector<uint8_t> bytes;  // CatchUp: a recording
    uint32_t tick = 0;           // Tick
    uint8_t keys[32] = {};       // Tick: held keys, one bit per code
    uint8_t marks[32] = {};      // Tick: keys counted as held before this read
    std::string reason;          // Over
    uint32_t watching = 0;       // Watching
};

// True for bytes that start like one of these messages (any version).
bool isWatchMessage(const uint8_t* data, size_t size);

std::vector<uint8_t> encodeHello(const net::Identity& identity);
std::vector<uint8_t> encodeNoMatch();
std::vector<uint8_t> encodeCatchUp(const std::vector<uint8_t>& recording);
std::vector<uint8_t> encodeTick(uint32_t tick, const uint8_t keys[32], const uint8_t marks[32]);
std::vector<uint8_t> encodeOver(const std::string& reason);
std::vector<uint8_t> encodeWatching(uint32_t count);

// Ok fills `out`; WrongVersion puts the version in out.version; Bad says
// what is wrong in `error`.
net::Decoded decode(const uint8_t* data, size_t size, Message& out, std::string& error);

}  // namespace watch
