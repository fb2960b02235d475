#pragma once
// The files the tests write byte by byte: little-endian values, BMP pictures
// in every header layout the reader takes, RIFF WAVE files of any chunk
// list, and the game's archive.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "services/archive_format.h"

namespace kit {

using Bytes = std::vector<uint8_t>;

// Appends the low `bytes` bytes of `v`, lowest first, to a string or Bytes.
template <class Out>
void putLE(Out& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(typename Out::value_type((v >> (8 * i)) & 0xFF));
}
// Overwrites `bytes` bytes at `at`.
template <class Out>
void pokeLE(Out& out, size_t at, uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i)
        out[at + size_t(i)] = typename Out::value_type((v >> (8 * i)) & 0xFF);
}
inline uint32_t le32(const Bytes& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}
inline uint16_t le16(const Bytes& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}

inline std::string text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

// Writes a string or Bytes, making the folders on the way.
template <class In>
void writeFile(const std::string& path, const In& bytes) {
    const std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
inline void writeFile(const std::string& path, const char* bytes) {
    writeFile(path, std::string(bytes));
}

// ---- BMP ----

struct BmpPlan {
    uint32_t infoSize = 40;
    int32_t width = 2;
    int32_t height = 2;  // negative: top-down
    uint16_t bits = 32;
    uint32_t compression = 0;
    std::vector<uint32_t> masks;  // in the header from 52 bytes on, else after it
    std::vector<uint32_t> palette;
    Bytes pixels;              // the rows as stored
    int64_t pixelOffset = -1;  // -1: right after masks and palette
};

inline Bytes bmp(const BmpPlan& s) {
    const bool masksInHeader = s.infoSize >= 52;
    const size_t after = (masksInHeader ? 0 : 4 * s.masks.size()) + 4 * s.palette.size();
    const uint32_t offset =
        s.pixelOffset >= 0 ? uint32_t(s.pixelOffset) : uint32_t(14 + s.infoSize + after);
    Bytes b{'B', 'M'};
    putLE(b, uint32_t(offset + s.pixels.size()), 4);
    putLE(b, 0, 4);
    putLE(b, offset, 4);
    putLE(b, s.infoSize, 4);
    putLE(b, uint32_t(s.width), 4);
    putLE(b, uint32_t(s.height), 4);
    putLE(b, 1, 2);
    putLE(b, s.bits, 2);
    putLE(b, s.compression, 4);
    putLE(b, uint32_t(s.pixels.size()), 4);
    putLE(b, 2835, 4);
    putLE(b, 2835, 4);
    putLE(b, uint32_t(s.palette.size()), 4);
    putLE(b, 0, 4);
    if (masksInHeader) {
        for (uint32_t m : s.masks) putLE(b, m, 4);
    }
    b.resize(14 + s.infoSize, 0);
    if (!masksInHeader) {
        for (uint32_t m : s.masks) putLE(b, m, 4);
    }
    for (uint32_t c : s.palette) putLE(b, c, 4);
    if (b.size() > offset) b.resize(offset);  // masks the offset says are not there
    b.resize(offset, 0);
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    return b;
}

// Rows of `bytes`-byte pixels, bottom row first, each padded to 4 bytes.
inline Bytes bmpRows(int w, int h, int bytes, const std::vector<uint32_t>& topDownValues) {
    Bytes out;
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x)
            putLE(out, topDownValues[size_t(y) * size_t(w) + size_t(x)], bytes);
        while (out.size() % 4 != 0) out.push_back(0);
    }
    return out;
}

// A 24-bit bottom-up BMP; `colour(x, y)` gives 0x00BBGGRR with y from the top.
inline Bytes bmp24(int w, int h, const std::function<uint32_t(int, int)>& colour) {
    std::vector<uint32_t> values;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = colour(x, y);  // stored blue, green, red
            values.push_back((c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF));
        }
    return bmp({40, w, h, 24, 0, {}, {}, bmpRows(w, h, 3, values)});
}
inline Bytes solidBmp(int w, int h, uint32_t rgb) {
    return bmp24(w, h, [rgb](int, int) { return rgb; });
}

// ---- WAV ----

struct WavHeader {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t blockAlign = 2;
    uint16_t bitsField = 16;  // the header's own field, which the loader ignores
    int64_t dataSize = -1;    // -1: the samples' length
};

// The canonical 44-byte-header file.
inline Bytes wav(const WavHeader& h, const Bytes& samples) {
    Bytes out{'R', 'I', 'F', 'F'};
    const uint32_t size = h.dataSize < 0 ? uint32_t(samples.size()) : uint32_t(h.dataSize);
    putLE(out, 36 + size, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLE(out, 16, 4);
    putLE(out, h.formatTag, 2);
    putLE(out, h.channels, 2);
    putLE(out, h.rate, 4);
    putLE(out, h.rate * h.blockAlign, 4);
    putLE(out, h.blockAlign, 2);
    putLE(out, h.bitsField, 2);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    putLE(out, size, 4);
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

// The body of a "fmt " chunk: 16 bytes, 18 (with an empty extension) or
// 40 (the extensible header, whose sub-format carries `h.formatTag`).
inline Bytes fmtBody(const WavHeader& h, size_t size = 16) {
    Bytes out;
    putLE(out, size == 40 ? 0xFFFE : h.formatTag, 2);
    putLE(out, h.channels, 2);
    putLE(out, h.rate, 4);
    putLE(out, h.rate * h.blockAlign, 4);
    putLE(out, h.blockAlign, 2);
    putLE(out, h.bitsField, 2);
    if (size >= 18) putLE(out, uint32_t(size - 18), 2);
    if (size == 40) {
        putLE(out, h.bitsField, 2);              // valid bits
        putLE(out, h.channels == 2 ? 3 : 4, 4);  // speaker mask
        putLE(out, h.formatTag, 2);
        out.insert(out.end(), {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00,
                               0x38, 0x9B, 0x71});
    }
    out.resize(size, 0);
    return out;
}

struct Chunk {
    std::string id;
    Bytes body;
    int64_t sizeField = -1;  // -1: the body's length
};

// A RIFF WAVE file of the given chunks, each odd body followed by its pad byte.
inline Bytes riff(const std::vector<Chunk>& chunks) {
    Bytes out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Chunk& c : chunks) {
        out.insert(out.end(), c.id.begin(), c.id.end());
        putLE(out, c.sizeField < 0 ? uint32_t(c.body.size()) : uint32_t(c.sizeField), 4);
        out.insert(out.end(), c.body.begin(), c.body.end());
        if (c.body.size() % 2 == 1) out.push_back(0);
    }
    pokeLE(out, 4, uint32_t(out.size() - 8));
    return out;
}

inline Bytes pcm16(const std::vector<int16_t>& values) {
    Bytes out;
    for (int16_t v : values) putLE(out, uint16_t(v), 2);
    return out;
}

// 1..100 times 100: every sample distinct and none silent.
inline std::vector<int16_t> ramp() {
    std::vector<int16_t> values;
    for (int i = 0; i < 100; ++i) values.push_back(int16_t(100 * (i + 1)));
    return values;
}

// ---- The archive: count, 88-byte entries, then the data in entry order ----

using Files = std::vector<std::pair<std::string, std::string>>;

inline std::string archive(const Files& files) {
    using namespace archive_format;
    std::string out;
    putLE(out, uint32_t(files.size()), 4);
    size_t offset = kCountSize + kEntrySize * files.size();
    for (const auto& [name, data] : files) {
        std::string field = name;
        field.resize(kNameField, '\0');
        out += field;
        putLE(out, uint32_t(offset), 4);
        putLE(out, uint32_t(data.size()), 4);
        offset += data.size();
    }
    for (const auto& file : files) out += file.second;
    return out;
}

// Where entry i's name, offset and size fields start.
inline size_t entryName(int i) {
    return archive_format::kCountSize + archive_format::kEntrySize * size_t(i);
}
inline size_t entryOffset(int i) {
    return entryName(i) + archive_format::kNameField;
}
inline size_t entrySize(int i) {
    return entryOffset(i) + 4;
}

}  // namespace kit
