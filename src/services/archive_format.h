#pragma once
#include <cstdint>
#include <cstring>
#include <istream>
#include <string>
#include <vector>

// The layout of the data archive, shared by the game's reader and the
// archive tool: a little-endian 32-bit entry count, then 88-byte entries
// (80-byte NUL-terminated name, 32-bit offset, 32-bit size), then the data.
// Header-only so that the game-independent tool can use it without linking
// the engine.
namespace archive_format {

constexpr size_t kCountSize = 4;
constexpr size_t kEntrySize = 88;
constexpr size_t kNameField = 80;
constexpr size_t kMaxNameLength = kNameField - 1;

struct Entry {
    std::string name;
    int32_t offset = 0;
    int32_t size = 0;
};

inline int32_t readLE32(const uint8_t* p) {
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                   uint32_t(p[3]) << 24);
}

inline void writeLE32(uint8_t* p, int32_t value) {
    uint32_t v = uint32_t(value);
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}

// Reads and checks the directory of an archive of `fileSize` bytes whose
// start `in` is positioned at. Every entry must name its data inside the
// file, so no later read can leave it. A negative count gives an empty
// directory. On damage returns false with `error`
// saying what is wrong (without the archive's name; callers add it).
inline bool readDirectory(std::istream& in, uint64_t fileSize, std::vector<Entry>& entries,
                          std::string& error) {
    entries.clear();
    uint8_t countBytes[kCountSize];
    if (fileSize < kCountSize || !in.read(reinterpret_cast<char*>(countBytes), kCountSize)) {
        error = "too short to hold an entry count";
        return false;
    }
    const int32_t count = readLE32(countBytes);
    // A count of zero or less is an empty directory, not damage.
    if (count <= 0) return true;
    const uint64_t present = (fileSize - kCountSize) / kEntrySize;
    if (uint64_t(count) > present) {
        error = "entry count " + std::to_string(count) + " but only " + std::to_string(present) +
                " entries are present";
        return false;
    }
    entries.reserve(size_t(count));
    uint8_t raw[kEntrySize];
    for (int32_t i = 0; i < count; ++i) {
        if (!in.read(reinterpret_cast<char*>(raw), kEntrySize)) {
            error = "entry " + std::to_string(i) + " cannot be read";
            return false;
        }
        const void* nul = std::memchr(raw, 0, kNameField);
        if (nul == nullptr) {
            error = "entry " + std::to_string(i) + " has no NUL in its name";
            return false;
        }
        Entry entry;
        entry.name.assign(reinterpret_cast<const char*>(raw),
                          size_t(static_cast<const uint8_t*>(nul) - raw));
        entry.offset = readLE32(raw + kNameField);
        entry.size = readLE32(raw + kNameField + 4);
        if (entry.size < 0) {
            error = "entry " + std::to_string(i) + " has a negative size";
            return false;
        }
        if (entry.offset < 0 || uint64_t(entry.offset) + uint64_t(entry.size) > fileSize) {
            error = "entry " + std::to_string(i) + " lies outside the archive";
            return false;
        }
        entries.push_back(std::move(entry));
    }
    return true;
}

// The first entry whose name equals `name` byte for byte, or null.
inline const Entry* findEntry(const std::vector<Entry>& entries, const std::string& name) {
    for (const Entry& entry : entries) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

}  // namespace archive_format
