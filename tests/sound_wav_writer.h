#pragma once
// Writes small WAV files and temporary folders for the sound and animation tests.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testwav {

struct Header {
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050;
    uint16_t blockAlign = 2;
    uint16_t bitsField = 16;  // the header's own field, which the loader ignores
    int64_t dataSize = -1;    // -1: the samples' length
};

inline void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

inline std::vector<uint8_t> build(const Header& h, const std::vector<uint8_t>& samples) {
    std::vector<uint8_t> out;
    uint32_t size = h.dataSize < 0 ? uint32_t(samples.size()) : uint32_t(h.dataSize);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put32(out, 36 + size);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(out, 16);
    put16(out, h.formatTag);
    put16(out, h.channels);
    put32(out, h.rate);
    put32(out, h.rate * h.blockAlign);
    put16(out, h.blockAlign);
    put16(out, h.bitsField);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, size);
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

// The body of a "fmt " chunk: 16 bytes, 18 (with an empty extension) or
// 40 (the extensible header, whose sub-format carries `h.formatTag`).
inline std::vector<uint8_t> fmtBody(const Header& h, size_t size = 16) {
    std::vector<uint8_t> out;
    put16(out, size == 40 ? 0xFFFE : h.formatTag);
    put16(out, h.channels);
    put32(out, h.rate);
    put32(out, h.rate * h.blockAlign);
    put16(out, h.blockAlign);
    put16(out, h.bitsField);
    if (size >= 18) put16(out, uint16_t(size - 18));
    if (size == 40) {
        put16(out, h.bitsField);              // valid bits
        put32(out, h.channels == 2 ? 3 : 4);  // speaker mask
        put16(out, h.formatTag);
        out.insert(out.end(), {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00,
                               0x38, 0x9B, 0x71});
    }
    out.resize(size, 0);
    return out;
}

struct Chunk {
    std::string id;
    std::vector<uint8_t> body;
    int64_t sizeField = -1;  // -1: the body's length
};

// A RIFF WAVE file of the given chunks, each odd body followed by its pad byte.
inline std::vector<uint8_t> riff(const std::vector<Chunk>& chunks) {
    std::vector<uint8_t> out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Chunk& c : chunks) {
        out.insert(out.end(), c.id.begin(), c.id.end());
        put32(out, c.sizeField < 0 ? uint32_t(c.body.size()) : uint32_t(c.sizeField));
        out.insert(out.end(), c.body.begin(), c.body.end());
        if (c.body.size() % 2 == 1) out.push_back(0);
    }
    const uint32_t riffSize = uint32_t(out.size() - 8);
    for (int i = 0; i < 4; ++i) out[4 + i] = uint8_t(riffSize >> (8 * i));
    return out;
}

inline std::vector<uint8_t> pcm16(const std::vector<int16_t>& values) {
    std::vector<uint8_t> out;
    for (int16_t v : values) put16(out, uint16_t(v));
    return out;
}

inline void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
  public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kestova_sound_XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        path_ = mkdtemp(buf.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace testwav
