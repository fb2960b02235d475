#pragma once
// A small "Kestova.dat" made in memory for tests: every file the asset set
// loads, with plain pictures of known sizes. Each picture of a chain has its
// own colour (frameColour), so a test can tell from the screen which frame
// was drawn.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "byte_writers.h"
#include "scratch_dir.h"

namespace world_test {

// Colour of picture k of a chain: distinct for k < 256, exact in 5-6-5, never black.
inline uint32_t frameColour(int k) {
    const uint32_t red = uint32_t(k & 31) << 3;
    const uint32_t green = uint32_t((k >> 5) + 1) << 2;
    return red | green << 8;  // 0x00BBGGRR
}

// A 24-bit bottom-up BMP filled with one colour (0x00BBGGRR).
inline std::string solidBmp(int width, int height, uint32_t rgb) {
    return kit::text(kit::solidBmp(width, height, rgb));
}

// A canonical 44-byte-header PCM WAV, 16-bit mono at `rate`, quiet noise.
inline std::string shortWav(int samples = 220, uint32_t rate = 22050) {
    std::vector<int16_t> values;
    for (int i = 0; i < samples; ++i) values.push_back(int16_t((i % 20) * 100 - 1000));
    kit::WavHeader header;
    header.rate = rate;
    return kit::text(kit::wav(header, kit::pcm16(values)));
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

using FileList = kit::Files;

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

// A scratch directory holding the files as "Kestova.dat", the current
// directory while the object lives, as the game runs beside its data.
// Removed, and the previous directory restored, when it goes.
class ArchiveDir {
  public:
    explicit ArchiveDir(const FileList& files) {
        if (!dir_.ready()) return;
        kit::writeFile(dir_.file("Kestova.dat"), kit::archive(files));
        here_ = std::make_unique<kit::CurrentDir>(dir_.path());
        ready_ = std::filesystem::exists("Kestova.dat");
    }
    ArchiveDir(const ArchiveDir&) = delete;
    ArchiveDir& operator=(const ArchiveDir&) = delete;

    bool ready() const { return ready_; }

  private:
    kit::ScratchDir dir_;
    std::unique_ptr<kit::CurrentDir> here_;
    bool ready_ = false;
};

}  // namespace world_test
