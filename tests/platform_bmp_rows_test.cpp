// Plain 24- and 32-bit pictures are converted by our own row loops at every
// instruction-set level; each must give the pixels SDL's own reader and
// converter give the same file.
#include <SDL.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/pixel_rows.h"
#include "platform/pixel_surface.h"
#include "support/byte_writers.h"

namespace {

// The pixels SDL makes of the file, 5-6-5, row after row.
std::vector<uint16_t> sdlPixels(const std::vector<uint8_t>& file) {
    SDL_RWops* rw = SDL_RWFromConstMem(file.data(), int(file.size()));
    SDL_Surface* loaded = SDL_LoadBMP_RW(rw, 1);
    EXPECT_NE(loaded, nullptr) << SDL_GetError();
    if (loaded == nullptr) return {};
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGB565, 0);
    SDL_FreeSurface(loaded);
    std::vector<uint16_t> out;
    for (int y = 0; y < converted->h; ++y) {
        const auto* row = reinterpret_cast<const uint16_t*>(
            static_cast<const uint8_t*>(converted->pixels) + y * converted->pitch);
        out.insert(out.end(), row, row + converted->w);
    }
    SDL_FreeSurface(converted);
    return out;
}

std::vector<uint16_t> ourPixels(const std::vector<uint8_t>& file, std::string& error) {
    auto picture = platform::PixelSurface::decodeBMP(file.data(), file.size(), error);
    std::vector<uint16_t> out;
    if (!picture) return out;
    for (int y = 0; y < picture->height(); ++y)
        for (int x = 0; x < picture->width(); ++x) out.push_back(picture->getPixel(x, y));
    return out;
}

TEST(BmpRowsTest, EveryLevelConvertsLikeSdl) {
    std::mt19937 rng(424242);
    auto between = [&rng](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    for (int round = 0; round < 400; ++round) {
        const int w = between(1, 70), h = between(1, 12);
        const int bits = between(0, 1) ? 24 : 32;
        const bool topDown = between(0, 3) == 0;
        const uint32_t infoSize = std::vector<uint32_t>{40, 40, 108, 124}[size_t(between(0, 3))];
        const uint32_t offset = 14 + infoSize + uint32_t(between(0, 2)) * 4;
        const size_t rowBytes = ((size_t(w) * bits + 31) / 32) * 4;
        std::vector<uint8_t> file(offset + rowBytes * h + size_t(between(0, 9)));
        for (uint8_t& b : file) b = uint8_t(between(0, 255));
        // Dark colours in places, which lose every bit and become the key.
        for (size_t i = offset; i < file.size(); i += size_t(between(1, 9))) file[i] &= 3;
        std::fill(file.begin(), file.begin() + offset, 0);
        file[0] = 'B';
        file[1] = 'M';
        kit::pokeLE(file, 2, uint32_t(file.size()));
        kit::pokeLE(file, 10, offset);
        kit::pokeLE(file, 14, infoSize);
        kit::pokeLE(file, 18, uint32_t(w));
        kit::pokeLE(file, 22, uint32_t(topDown ? -h : h));
        file[26] = 1;
        file[28] = uint8_t(bits);

        const std::vector<uint16_t> expected = sdlPixels(file);
        ASSERT_EQ(expected.size(), size_t(w) * h) << round;
        for (platform::SimdLevel level : platform::availableSimdLevels()) {
            platform::selectSimdLevel(level);
            std::string error;
            ASSERT_EQ(ourPixels(file, error), expected)
                << platform::simdLevelName(level) << " round " << round << ": " << w << "x" << h
                << " " << bits << " bits, header " << infoSize << (topDown ? ", top down" : "")
                << " " << error;
        }
    }
    platform::selectSimdLevel(platform::availableSimdLevels().back());
}

}  // namespace
