#pragma once
// Small canonical WAV files for seeds and for the sounds an animation loads.
#include <cstdint>
#include <vector>

namespace fuzz {

inline void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
inline void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// The 44-byte header and `frames` sample frames of a quiet saw wave.
inline std::vector<uint8_t> wavFile(uint16_t channels, uint16_t bits, uint32_t rate,
                                    uint32_t frames) {
    const uint16_t blockAlign = uint16_t(channels * bits / 8);
    const uint32_t dataSize = frames * blockAlign;
    std::vector<uint8_t> out{'R', 'I', 'F', 'F'};
    put32(out, 36 + dataSize);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(out, 16);
    put16(out, 1);
    put16(out, channels);
    put32(out, rate);
    put32(out, rate * blockAlign);
    put16(out, blockAlign);
    put16(out, bits);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, dataSize);
    for (uint32_t i = 0; i < frames * channels; ++i) {
        if (bits == 8) {
            out.push_back(uint8_t(128 + (i % 32)));
        } else {
            put16(out, uint16_t(int16_t((i % 64) * 100 - 3200)));
        }
    }
    return out;
}

}  // namespace fuzz
