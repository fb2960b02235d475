#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Where the samples of a RIFF WAVE file lie and how they are laid out. The
// chunks are walked by name: "fmt " and "data" are found wherever they are,
// every other chunk (LIST, fact, bext, ...) is skipped.
struct WavLayout {
    int channels = 0;       // 1 or 2
    int bitsPerSample = 0;  // 8 or 16, from block align and channels
    uint32_t samplesPerSecond = 0;
    size_t dataOffset = 0;  // first sample byte in the file
    uint32_t dataSize = 0;  // sample bytes present in the file
    // Empty, or one line about a repair: a data size past the end of the
    // file (streamed output writes 0x7FFFF000 or 0xFFFFFFFF there) is taken
    // as "to the end of the file".
    std::string warning;
};

// Reads the layout of the `size` bytes at `data`. Returns false with `error`
// saying what the file is when it cannot be played: damaged, or a kind of
// sound we do not play (compressed, floating point, 24-bit, ...).
bool parseWav(const uint8_t* data, size_t size, WavLayout& layout, std::string& error);
