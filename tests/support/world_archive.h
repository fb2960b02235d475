#pragma once
// A small "Kestova.dat" made in memory for tests: every file the asset set
// loads, with plain pictures of known sizes. Each picture of a chain has its
// own colour (frameColour), so a test can tell from the screen which frame
// was drawn.
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "services/archive_format.h"

namespace world_test {

// Colour of picture k of a chain: distinct for k < 256, exact in 5-6-5, never black.
inline uint32_t frameColour(int k) {
    const uint32_t red = uint32_t(k & 31) << 3;
    const uint32_t green = uint32_t((k >> 5) + 1) << 2;
    return red | green << 8;  // 0x00BBGGRR
}

inline void putLE16(std::string& out, uint32_t v) {
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}
inline void putLE32(std::string& out, uint32_t v) {
    putLE16(out, v & 0xFFFF);
    putLE16(out, v >> 16);
}

// A 24-bit bottom-up BMP filled with one colour (0x00BBGGRR).
inline std::string solidBmp(int width, int height, uint32_t rgb) {
    const int rowBytes = (width * 3 + 3) & ~3;
    std::string out = "BM";
    putLE32(out, uint32_t(54 + rowBytes * height));
    putLE32(out, 0);
    putLE32(out, 54);
    putLE32(out, 40);
    putLE32(out, uint32_t(width));
    putLE32(out, uint32_t(height));
    putLE16(out, 1);
    putLE16(out, 24);
    putLE32(out, 0);
    putLE32(out, uint32_t(rowBytes * height));
    putLE32(out, 2835);
    putLE32(out, 2835);
    putLE32(out, 0);
    putLE32(out, 0);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            out += char((rgb >> 16) & 0xFF);  // blue, green, red
            out += char((rgb >> 8) & 0xFF);
            out += char(rgb & 0xFF);
        }
        out.append(size_t(rowBytes - width * 3), '\0');
    }
    return out;
}

// A canonical 44-byte-header PCM WAV, 16-bit mono at `rate`, quiet noise.
inline std::string shortWav(int samples = 220, uint32_t rate = 22050) {
    std::string out = "RIFF";
    putLE32(out, uint32_t(36 + samples * 2));
    out += "WAVEfmt ";
    putLE32(out, 16);
    putLE16(out, 1);
    putLE16(out, 1);
    putLE32(out, rate);
    putLE32(out, rate * 2);
    putLE16(out, 2);
    putLE16(out, 16);
    out += "data";
    putLE32(out, uint32_t(samples * 2));
    for (int i = 0; i < samples; ++i) putLE16(out, uint32_t(int16_t((i % 20) * 100 - 1000)));
    return out;
}

// Picture sizes of the test data (width, height).
struct WorldSizes {
    int palmW = 20, palmH = 40;
    int palmFrames = 6;
    int planeW = 30, planeH = 14;
    int cannonW = 33, cannonH = 20;
    int bombW = 8, bombH = 8;
    int ballW = 6, ballH = 6;
    int sparcW = 1, sparcH = 1;
    int splashFrames = 4;
};

using FileList = std::vector<std::pair<std::string, std::string>>;

inline void addChain(FileList& files, const std::string& base, int count, int w, int h) {
    for (int k = 0; k < count; ++k) {
        files.emplace_back(base + "_" + std::to_string(k) + ".bmp", solidBmp(w, h, frameColour(k)));
    }
}

inline FileList worldFiles(const WorldSizes& s = WorldSizes()) {
    FileList files;
    // The gradient runs from dark to bright red along x.
    {
        std::string bmp = solidBmp(200, 20, 0x000040);
        files.emplace_back("gfx/firegradient.bmp", bmp);
    }
    files.emplace_back("gfx/sky.bmp", solidBmp(640, 240, 0xF8A040));
    files.emplace_back("gfx/sea540.bmp", solidBmp(540, 120, 0x803000));
    files.emplace_back("gfx/island.bmp", solidBmp(300, 50, 0x3080C0));
    files.emplace_back("gfx/shadow_0.bmp", solidBmp(24, 4, 0x202020));
    addChain(files, "gfx/sparc", 128, s.sparcW, s.sparcH);
    addChain(files, "gfx/palm", s.palmFrames, s.palmW, s.palmH);
    addChain(files, "gfx/plane", 64, s.planeW, s.planeH);
    addChain(files, "gfx/cannon", 33, s.cannonW, s.cannonH);
    addChain(files, "gfx/bomb", 32, s.bombW, s.bombH);
    addChain(files, "gfx/cannonball", 2, s.ballW, s.ballH);
    addChain(files, "gfx/splash", s.splashFrames, 16, 16);
    addChain(files, "gfx/arrow", 32, 12, 12);
    addChain(files, "gfx/icon", 2, 10, 10);
    files.emplace_back("gfx/smalllogo_0.bmp", solidBmp(100, 40, 0xFFFFFF));
    for (int code = 'a'; code <= 'z'; ++code) {
        files.emplace_back("gfx/alphabet_" + std::to_string(code) + ".bmp",
                           solidBmp(8, 10, 0xF8F8F8));
    }
    // The falling scream starts below 22000 Hz so its rise can be seen.
    files.emplace_back("sfx/ovrevlp1.wav", shortWav(220, 11025));
    for (const char* name :
         {"sfx/rot5loo1.wav", "sfx/engnxplo.wav", "sfx/bmbwstl2.wav", "sfx/splash.wav",
          "sfx/planesplash.wav", "sfx/spanloo.wav", "sfx/cannonfire.wav", "sfx/warningbeep.wav",
          "sfx/sunshineDance.wav"}) {
        files.emplace_back(name, shortWav());
    }
    return files;
}

// Writes the files as an archive: count, 88-byte entries, then the data.
inline bool writeArchive(const std::string& path, const FileList& files) {
    using namespace archive_format;
    std::string out;
    putLE32(out, uint32_t(files.size()));
    size_t offset = kCountSize + kEntrySize * files.size();
    for (const auto& [name, data] : files) {
        std::string field = name;
        field.resize(kNameField, '\0');
        out += field;
        putLE32(out, uint32_t(offset));
        putLE32(out, uint32_t(data.size()));
        offset += data.size();
    }
    for (const auto& file : files) out += file.second;
    std::ofstream stream(path, std::ios::binary);
    stream.write(out.data(), std::streamsize(out.size()));
    return bool(stream);
}

// A scratch directory holding the files as "Kestova.dat", the current
// directory while the object lives, as the game runs beside its data.
// Removed, and the previous directory restored, when it goes.
class ArchiveDir {
  public:
    explicit ArchiveDir(const FileList& files) : previous_(std::filesystem::current_path()) {
        char pattern[] = "/tmp/kestova_data_XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        dir_ = pattern;
        std::error_code error;
        ready_ = writeArchive(dir_ + "/Kestova.dat", files) &&
                 (std::filesystem::current_path(dir_, error), !error);
    }
    ~ArchiveDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }
    ArchiveDir(const ArchiveDir&) = delete;
    ArchiveDir& operator=(const ArchiveDir&) = delete;

    bool ready() const { return ready_; }

  private:
    std::filesystem::path previous_;
    std::string dir_;
    bool ready_ = false;
};

}  // namespace world_test
