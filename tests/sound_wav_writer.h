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
