#pragma once
// The messages two networked machines exchange, and their strict decoder:
// every packet is checked for its marker, version, type, exact size and the
// range of every field before anything in it is used.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace net {

// Raised whenever a message or its meaning changes; two programs with
// different versions refuse to play each other.
constexpr uint8_t kProtocolVersion = 3;

// Hello: greeting, both ways, naming the program and its data. Ready: the joining machine reached
// its set-up menu. Start: the host's settings. Ticks: a run of one keyboard's ticks, sent
// unreliably and repeated until acknowledged, with the sender's own acknowledgement. Digest: the
// state digest taken at a tick. Ping and Pong: the host's measure of the round trip. Goodbye: the
// sender leaves; it carries the ticks the partner has not acknowledged, reliably.
enum class Type : uint8_t {
    Hello = 1,
    Ready = 2,
    Start = 3,
    Ticks = 4,
    Digest = 5,
    Ping = 6,
    Pong = 7,
    Goodbye = 8
};

// The host's generator and set-up menu, taken by the joining machine.
struct Settings {
    uint64_t seed = 0;
    int32_t selectedRow = 0, arrowX = 0, arrowY = 0;
    int32_t isComputer[2] = {0, 0};
    int32_t warDays = 1, palmTrees = 1;
    int32_t strength[2] = {3, 3};  // of the computer, 1 to 5
    int32_t inputDelay = 2;        // ticks, 1 to kMaxInputDelay, the same on both
    int32_t roundTripMs = 0;       // as the host measured it, 0 to kMaxRoundTripMs
};
constexpr int32_t kMaxInputDelay = 64;
constexpr int32_t kMaxRoundTripMs = 60000;

// What a machine plays: two must be equal to play each other.
struct Identity {
    std::string game;       // "Kestova 1.2.3"
    uint64_t dataHash = 0;  // of Kestova.dat
    bool operator==(const Identity& o) const { return game == o.game && dataHash == o.dataHash; }
    bool operator!=(const Identity& o) const { return !(*this == o); }
};
constexpr size_t kMaxGameName = 48;
// "Kestova 1.2.3 with data 0123456789abcdef"
std::string describe(const Identity& identity);

// Ticks are below this; a longer session would take years.
constexpr uint32_t kMaxTick = 0x7FFFFFFF;
constexpr int32_t kMaxWarDays = 100000;
// Ticks in one Ticks datagram (it stays well inside one UDP datagram) and in
// a goodbye (reliable: ENet splits it as needed).
constexpr uint32_t kMaxTicksPerDatagram = 32;
constexpr uint32_t kMaxGoodbyeTicks = 256;
constexpr size_t kTickBytes = 32;  // one bit per key code, code 0 in bit 0 of byte 0

struct Packet {
    Type type = Type::Hello;
    uint8_t version = kProtocolVersion;
    Identity identity;          // Hello
    Settings settings;          // Start
    uint32_t tick = 0;          // Digest; Ticks and Goodbye: the first tick carried
    uint32_t ack = 0;           // Ticks, Goodbye: the partner's ticks held in order
    std::vector<uint8_t> keys;  // Ticks, Goodbye: kTickBytes per tick
    uint64_t digest = 0;        // Digest
    uint32_t stamp = 0;         // Ping, Pong: the host's clock when it asked
    uint32_t count() const { return uint32_t(keys.size() / kTickBytes); }
};

std::vector<uint8_t> encodeHello(const Identity& identity);
std::vector<uint8_t> encodeReady();
std::vector<uint8_t> encodeStart(const Settings& settings);
// `keys`: kTickBytes per tick, from tick `first` on.
std::vector<uint8_t> encodeTicks(uint32_t ack, uint32_t first, const std::vector<uint8_t>& keys);
std::vector<uint8_t> encodeGoodbye(uint32_t ack, uint32_t first, const std::vector<uint8_t>& keys);
std::vector<uint8_t> encodeDigest(uint32_t tick, uint64_t digest);
std::vector<uint8_t> encodePing(uint32_t stamp);
std::vector<uint8_t> encodePong(uint32_t stamp);

enum class Decoded { Ok, WrongVersion, Bad };
// Ok fills `out`. WrongVersion: a well-marked packet of another version (its
// version is in out.version). Bad: `error` says what is wrong.
Decoded decode(const uint8_t* data, size_t size, Packet& out, std::string& error);

// Key states (0x80 = down) to bits and back.
void packKeys(const uint8_t state[256], uint8_t bits[32]);
void unpackKeys(const uint8_t bits[32], uint8_t state[256]);

}  // namespace net
