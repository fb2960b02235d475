// Every instruction-set level of the pixel loops against a pixel-by-pixel
// model of the blit and the fill, over random sizes, positions, clip
// rectangles, colour keys, mirror flags and stretch factors.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/pixel_rows.h"
#include "platform/pixel_surface.h"
#include "platform/result_codes.h"

using platform::PixelSurface;
using platform::Rect;
using platform::SimdLevel;

namespace {

// A picture as plain numbers, for the model and for comparing.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint16_t> p;
    uint16_t at(int x, int y) const { return p[size_t(y) * width + x]; }
    uint16_t& at(int x, int y) { return p[size_t(y) * width + x]; }
};

Pixels read(const PixelSurface& s) {
    Pixels out{s.width(), s.height(), {}};
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) out.p.push_back(s.getPixel(x, y));
    return out;
}

void write(PixelSurface& s, const Pixels& from) {
    for (int y = 0; y < from.height; ++y)
        for (int x = 0; x < from.width; ++x) s.setPixel(x, y, from.at(x, y));
}

bool inside(const Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

struct Blit {
    Rect src, dst;
    bool clipped = false;
    Rect clip;
    PixelSurface::BlitOptions options;
};

// What a blit draws, pixel by pixel: each destination pixel shows the source
// cell under its centre.
int32_t modelBlit(const Pixels& source, Pixels& dest, const Blit& b) {
    const Rect whole{0, 0, dest.width, dest.height};
    if (b.src.width() <= 0 || b.src.height() <= 0 || b.dst.width() <= 0 || b.dst.height() <= 0)
        return platform::kOk;
    if (b.src.left < 0 || b.src.top < 0 || b.src.right > source.width ||
        b.src.bottom > source.height)
        return platform::kErrInvalidRect;
    if (!b.clipped && !(b.dst.left >= 0 && b.dst.top >= 0 && b.dst.right <= dest.width &&
                        b.dst.bottom <= dest.height))
        return platform::kErrInvalidRect;
    const int64_t sw = b.src.width(), sh = b.src.height(), dw = b.dst.width(), dh = b.dst.height();
    for (int y = 0; y < dh; ++y) {
        for (int x = 0; x < dw; ++x) {
            const int X = b.dst.left + x, Y = b.dst.top + y;
            if (!inside(whole, X, Y) || (b.clipped && !inside(b.clip, X, Y))) continue;
            int sx = int((2 * x + 1) * sw / (2 * dw));
            const int sy = int((2 * y + 1) * sh / (2 * dh));
            if (b.options.mirror) sx = int(sw) - 1 - sx;
            const uint16_t p = source.at(b.src.left + sx, b.src.top + sy);
            if (b.options.colourKey && p == 0) continue;
            dest.at(X, Y) = p;
        }
    }
    return platform::kOk;
}

class PixelRowsTest : public ::testing::Test {
  protected:
    ~PixelRowsTest() override { platform::selectSimdLevel(platform::availableSimdLevels().back()); }

    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    bool chance(int percent) { return between(1, 100) <= percent; }

    // Random pixels, a share of them the colour key.
    Pixels randomPixels(int w, int h, int keyPercent) {
        Pixels out{w, h, std::vector<uint16_t>(size_t(w) * h)};
        for (uint16_t& v : out.p) v = chance(keyPercent) ? 0 : uint16_t(between(1, 0xFFFF));
        return out;
    }

    Rect randomRect(int maxW, int maxH, int spill) {
        const int left = between(-spill, maxW + spill - 1);
        const int top = between(-spill, maxH + spill - 1);
        return Rect{left, top, left + between(0, maxW + spill), top + between(0, maxH + spill)};
    }

    std::mt19937 rng{20240611};
};

TEST_F(PixelRowsTest, EveryLevelBlitsLikeThePixelModel) {
    const std::vector<SimdLevel> levels = platform::availableSimdLevels();
    for (int round = 0; round < 3000; ++round) {
        const Pixels source = randomPixels(between(1, 70), between(1, 24), between(0, 60));
        const Pixels background = randomPixels(between(1, 90), between(1, 30), 10);
        Blit b;
        const int sl = between(0, source.width - 1), st = between(0, source.height - 1);
        b.src = Rect{sl, st, between(sl + 1, source.width), between(st + 1, source.height)};
        if (chance(2)) b.src.right = source.width + 1;  // outside the picture: refused
        int w = b.src.width(), h = b.src.height();
        if (chance(50)) {  // stretched, anything from a fifth to four times
            w = std::max(1, int(w * between(20, 400) / 100));
            h = std::max(1, int(h * between(20, 400) / 100));
        }
        const int left = between(-w, background.width), top = between(-h, background.height);
        b.dst = Rect{left, top, left + w, top + h};
        b.clipped = chance(80);
        b.clip = randomRect(background.width, background.height, 4);
        b.options.colourKey = chance(70);
        b.options.mirror = chance(40);

        Pixels expected = background;
        Rect clip = b.clip;
        clip.left = std::max(clip.left, 0);
        clip.top = std::max(clip.top, 0);
        clip.right = std::min(clip.right, background.width);
        clip.bottom = std::min(clip.bottom, background.height);
        Blit model = b;
        model.clip = clip;
        const int32_t expectedCode = modelBlit(source, expected, model);

        for (SimdLevel level : levels) {
            platform::selectSimdLevel(level);
            PixelSurface from(source.width, source.height),
                onto(background.width, background.height);
            write(from, source);
            write(onto, background);
            if (b.clipped) onto.setClipper(b.clip);
            // Twice: the second draws the same pixels again, through the
            // stretch map the first one left.
            for (int again = 0; again < 2; ++again) {
                ASSERT_EQ(from.blit(onto, b.src, b.dst, b.options), expectedCode)
                    << platform::simdLevelName(level) << " round " << round;
            }
            ASSERT_EQ(read(onto).p, expected.p)
                << platform::simdLevelName(level) << " round " << round << " src " << b.src.left
                << "," << b.src.top << "," << b.src.right << "," << b.src.bottom << " dst "
                << b.dst.left << "," << b.dst.top << "," << b.dst.right << "," << b.dst.bottom
                << " key " << b.options.colourKey << " mirror " << b.options.mirror;
        }
    }
}

TEST_F(PixelRowsTest, ASurfaceDrawnOntoItselfReadsTheSourceAsItWas) {
    for (int round = 0; round < 300; ++round) {
        const Pixels start = randomPixels(between(2, 60), between(2, 20), 30);
        Blit b;
        b.src = Rect{0, 0, between(1, start.width), between(1, start.height)};
        const int w = chance(50) ? b.src.width() : between(1, 80);
        const int left = between(-5, start.width), top = between(-5, start.height);
        b.dst = Rect{left, top, left + w, top + b.src.height()};
        b.clipped = true;
        b.clip = Rect{0, 0, start.width, start.height};
        b.options.mirror = chance(50);
        Pixels expected = start;
        modelBlit(start, expected, b);
        for (SimdLevel level : platform::availableSimdLevels()) {
            platform::selectSimdLevel(level);
            PixelSurface s(start.width, start.height);
            write(s, start);
            s.setClipper(b.clip);
            s.blit(s, b.src, b.dst, b.options);
            ASSERT_EQ(read(s).p, expected.p) << platform::simdLevelName(level) << " " << round;
        }
    }
}

TEST_F(PixelRowsTest, EveryLevelFillsLikeThePixelModel) {
    for (int round = 0; round < 1000; ++round) {
        const Pixels background = randomPixels(between(1, 90), between(1, 20), 10);
        const Rect area = randomRect(background.width, background.height, 3);
        const bool whole = chance(10), clipped = chance(70);
        const Rect clip = randomRect(background.width, background.height, 3);
        const uint16_t pixel = uint16_t(between(0, 0xFFFF));
        Pixels expected = background;
        const bool fits = area.left >= 0 && area.top >= 0 && area.right <= background.width &&
                          area.bottom <= background.height;
        const bool drawn = whole || clipped || fits;
        for (int y = 0; y < background.height && drawn; ++y)
            for (int x = 0; x < background.width; ++x)
                if ((whole || inside(area, x, y)) && (!clipped || inside(clip, x, y)))
                    expected.at(x, y) = pixel;
        for (SimdLevel level : platform::availableSimdLevels()) {
            platform::selectSimdLevel(level);
            PixelSurface s(background.width, background.height);
            write(s, background);
            if (clipped) s.setClipper(clip);
            s.fill(whole ? nullptr : &area, pixel);
            ASSERT_EQ(read(s).p, expected.p) << platform::simdLevelName(level) << " " << round;
        }
    }
}

}  // namespace
