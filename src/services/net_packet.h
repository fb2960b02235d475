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
constexpr uint8_t kProtocolVersion = 2;

// Hello: greeting, both ways, naming the program and its data. Ready: the joining machine reached
// its set-up menu. Start: the host's settings. Keys: one tick of one keyboard. Digest: the state
// digest taken at a tick.
enum class Type : uint8_t { Hello = 1, Ready = 2, Start = 3, Keys = 4, Digest = 5 };

// The host's generator and set-up menu, taken by the joining machine.
struct Settings {
    uint64_t seed = 0;
    int32_t selectedRow = 0, arrowX = 0, arrowY = 0;
    int32_t isComputer[2] = {0, 0};
    int32_t warDays = 1, palmTrees = 1;
    int32_t strength[2] = {3, 3};  // of the computer, 1 to 5
};

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

struct Packet {
    Type type = Type::Hello;
    uint8_t version = kProtocolVersion;
    Identity identity;      // Hello
    Settings settings;      // Start
    uint32_t tick = 0;      // Keys, Digest
    uint8_t keys[32] = {};  // Keys: one bit per key code, code 0 in bit 0 of byte 0
    uint64_t digest = 0;    // Digest
};

std::vector<uint8_t> encodeHello(const Identity& identity);
std::vector<uint8_t> encodeReady();
std::vector<uint8_t> encodeStart(const Settings& settings);
std::vector<uint8_t> encodeKeys(uint32_t tick, const uint8_t state[256]);
std::vector<uint8_t> encodeDigest(uint32_t tick, uint64_t digest);

enum class Decoded { Ok, WrongVersion, Bad };
// Ok fills `out`. WrongVersion: a well-marked packet of another version (its
// version is in out.version). Bad: `error` says what is wrong.
Decoded decode(const uint8_t* data, size_t size, Packet& out, std::string& error);

// Key states (0x80 = down) to bits and back.
void packKeys(const uint8_t state[256], uint8_t bits[32]);
void unpackKeys(const uint8_t bits[32], uint8_t state[256]);

}  // namespace net
