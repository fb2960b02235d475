#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/pixel_surface.h"
#include "platform/result_codes.h"
#include "support/byte_writers.h"

using platform::PixelSurface;
using platform::Rect;

namespace {

using kit::pokeLE;

// Source pictures hold their own coordinates: pixel (x, y) = 1 + x + 16 * y.
uint16_t marker(int x, int y) {
    return uint16_t(1 + x + 16 * y);
}

class SurfaceTest : public ::testing::Test {
  protected:
    SurfaceTest() : sprite(4, 2), screen(10, 6) {
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) sprite.setPixel(x, y, marker(x, y));
        screen.fill(nullptr, 0x7777);
    }
    std::vector<uint16_t> row(const PixelSurface& s, int y) {
        std::vector<uint16_t> r;
        for (int x = 0; x < s.width(); ++x) r.push_back(s.getPixel(x, y));
        return r;
    }
    PixelSurface sprite;
    PixelSurface screen;
    const uint16_t bg = 0x7777;
};

TEST_F(SurfaceTest, NewSurfaceIsZeroAndFillWithNullRectCoversAll) {
    PixelSurface s(3, 2);
    EXPECT_EQ(s.getPixel(2, 1), 0);
    EXPECT_EQ(s.fill(nullptr, 0x1234), platform::kOk);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(s.getPixel(x, y), 0x1234);
    EXPECT_GE(s.pitch(), 6);
}

// One blit of the sprite and the screen pixels it must leave; kBg: the
// background untouched.
struct BlitCase {
    const char* name;
    Rect from, to;
    PixelSurface::BlitOptions options;
    bool keyTopLeft;                         // the sprite's top-left pixel 0, the colour key
    std::vector<std::array<int, 4>> probes;  // x, y, then the marker's x, y or kBg
};
constexpr int kBg = -1;

const BlitCase kBlits[] = {
    {"PlainBlitCopiesExactly",
     {0, 0, 4, 2},
     {3, 2, 7, 4},
     {},
     false,
     {{3, 2, 0, 0}, {6, 3, 3, 1}, {2, 2, kBg, 0}, {7, 3, kBg, 0}}},
    {"SourceRectangleSelectsPart",
     {1, 1, 3, 2},
     {0, 0, 2, 1},
     {},
     false,
     {{0, 0, 1, 1}, {1, 0, 2, 1}, {2, 0, kBg, 0}}},
    {"ShrinkSamplesTheSourceUnderEachPixelCentre",
     {0, 0, 4, 2},
     {0, 0, 2, 1},
     {},
     false,
     {{0, 0, 1, 1}, {1, 0, 3, 1}, {2, 0, kBg, 0}, {0, 1, kBg, 0}}},
    // The keyed pixel lands at the right end.
    {"MirrorReversesRowsAndKeepsKey",
     {0, 0, 4, 2},
     {2, 0, 6, 2},
     {true, true},
     true,
     {{2, 0, 3, 0}, {4, 0, 1, 0}, {5, 0, kBg, 0}, {5, 1, 0, 1}}},
};

class BlitTest : public SurfaceTest, public ::testing::WithParamInterface<BlitCase> {};

TEST_P(BlitTest, LeavesThePixels) {
    const BlitCase& c = GetParam();
    if (c.keyTopLeft) sprite.setPixel(0, 0, 0);
    ASSERT_EQ(sprite.blit(screen, c.from, c.to, c.options), platform::kOk);
    for (const auto& [x, y, mx, my] : c.probes) {
        EXPECT_EQ(screen.getPixel(x, y), mx == kBg ? bg : marker(mx, my)) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Blits, BlitTest, ::testing::ValuesIn(kBlits),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SurfaceTest, KeyedBlitSkipsZeroAndOpaqueBlitCopiesIt) {
    sprite.setPixel(1, 0, 0);
    sprite.blit(screen, {0, 0, 4, 2}, {0, 0, 4, 2}, {});
    EXPECT_EQ(screen.getPixel(1, 0), bg);
    EXPECT_EQ(screen.getPixel(2, 0), marker(2, 0));
    sprite.blit(screen, {0, 0, 4, 2}, {0, 0, 4, 2}, {false, false});
    EXPECT_EQ(screen.getPixel(1, 0), 0);
    // And keyed again after an opaque one.
    screen.fill(nullptr, bg);
    sprite.blit(screen, {0, 0, 4, 2}, {0, 0, 4, 2}, {});
    EXPECT_EQ(screen.getPixel(1, 0), bg);
}

TEST_F(SurfaceTest, StretchDoublesEveryPixel) {
    sprite.blit(screen, {0, 0, 4, 2}, {1, 1, 9, 5}, {});
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(screen.getPixel(1 + x, 1 + y), marker(x / 2, y / 2));
    EXPECT_EQ(screen.getPixel(9, 1), bg);
    EXPECT_EQ(screen.getPixel(1, 5), bg);
}

TEST_F(SurfaceTest, OddStretchIsEvenlySpreadAndMirrorsExactly) {
    const std::vector<uint16_t> expected{marker(0, 0), marker(0, 0), marker(1, 0), marker(1, 0),
                                         marker(1, 0), marker(2, 0), marker(2, 0)};
    sprite.blit(screen, {0, 0, 3, 1}, {0, 0, 7, 1}, {});
    sprite.blit(screen, {0, 0, 3, 1}, {0, 1, 7, 2}, {true, true});
    for (int x = 0; x < 7; ++x) {
        EXPECT_EQ(screen.getPixel(x, 0), expected[x]) << x;
        EXPECT_EQ(screen.getPixel(x, 1), expected[6 - x]) << x;
    }
}

TEST_F(SurfaceTest, ClippedStretchShowsThePixelsTheWholeStretchWouldHave) {
    PixelSurface whole(40, 6), clipped(40, 6);
    clipped.setClipper({0, 0, 40, 6});
    for (bool mirror : {false, true}) {
        // 4 wide to 23 wide, drawn at 0 on one and 11 pixels off the left on the other.
        sprite.blit(whole, {0, 0, 4, 2}, {0, 0, 23, 5}, {true, mirror});
        sprite.blit(clipped, {0, 0, 4, 2}, {-11, 0, 12, 5}, {true, mirror});
        for (int x = 0; x < 12; ++x)
            for (int y = 0; y < 5; ++y)
                EXPECT_EQ(clipped.getPixel(x, y), whole.getPixel(x + 11, y)) << x << "," << y;
    }
}

TEST_F(SurfaceTest, ClipperCutsTheDestinationAndTheSourceInProportion) {
    screen.setClipper({0, 0, 10, 6});
    // Half off the left edge: the right half of the sprite shows.
    ASSERT_EQ(sprite.blit(screen, {0, 0, 4, 2}, {-2, 0, 2, 2}, {}), platform::kOk);
    EXPECT_EQ(screen.getPixel(0, 0), marker(2, 0));
    EXPECT_EQ(screen.getPixel(1, 1), marker(3, 1));
    EXPECT_EQ(screen.getPixel(2, 0), bg);
    // Stretched twice and half off the right edge: the left half shows.
    sprite.blit(screen, {0, 0, 4, 2}, {6, 4, 14, 8}, {});
    EXPECT_EQ(screen.getPixel(6, 4), marker(0, 0));
    EXPECT_EQ(screen.getPixel(9, 5), marker(1, 0));
    EXPECT_EQ(screen.getPixel(5, 4), bg);
}

TEST_F(SurfaceTest, ClipperIsCutToTheSurface) {
    screen.setClipper({-5, -5, 50, 50});
    const Rect c = screen.clipRect();
    EXPECT_EQ(c.left, 0);
    EXPECT_EQ(c.bottom, 6);
    EXPECT_EQ(c.right, 10);
    EXPECT_TRUE(screen.hasClipper());
    screen.removeClipper();
    EXPECT_FALSE(screen.hasClipper());
}

TEST_F(SurfaceTest, WithoutClipperAnOutOfRangeDestinationIsRefused) {
    EXPECT_EQ(sprite.blit(screen, {0, 0, 4, 2}, {-1, 0, 3, 2}, {}), platform::kErrInvalidRect);
    EXPECT_EQ(sprite.blit(screen, {0, 0, 4, 2}, {7, 5, 11, 7}, {true, true}),
              platform::kErrInvalidRect);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(row(screen, y), std::vector<uint16_t>(10, bg));
    Rect outside{8, 0, 12, 2};
    EXPECT_EQ(screen.fill(&outside, 1), platform::kErrInvalidRect);
    EXPECT_EQ(screen.getPixel(9, 0), bg);
}

TEST_F(SurfaceTest, SourceOutsideThePictureIsRefused) {
    EXPECT_EQ(sprite.blit(screen, {0, 0, 5, 2}, {0, 0, 5, 2}, {}), platform::kErrInvalidRect);
    EXPECT_EQ(screen.getPixel(0, 0), bg);
}

TEST_F(SurfaceTest, EmptyOrInvertedRectanglesDrawNothing) {
    EXPECT_EQ(sprite.blit(screen, {0, 0, 4, 2}, {5, 5, 5, 7}, {}), platform::kOk);
    EXPECT_EQ(sprite.blit(screen, {4, 0, 0, 2}, {0, 0, 4, 2}, {}), platform::kOk);
    Rect inverted{5, 5, 2, 2};
    EXPECT_EQ(screen.fill(&inverted, 1), platform::kOk);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(row(screen, y), std::vector<uint16_t>(10, bg));
}

TEST_F(SurfaceTest, CopyPictureIsOpaqueAndCutToTheSurface) {
    sprite.setPixel(3, 0, 0);
    screen.setClipper({4, 0, 10, 6});  // a device-context copy ignores the clipper
    screen.copyPicture(sprite, -1, 5);
    EXPECT_EQ(screen.getPixel(0, 5), marker(1, 0));
    EXPECT_EQ(screen.getPixel(2, 5), 0);
    EXPECT_EQ(screen.getPixel(3, 5), bg);
    EXPECT_EQ(screen.getPixel(0, 4), bg);
    screen.copyPicture(sprite, 100, 100);  // wholly outside: nothing
}

TEST_F(SurfaceTest, PixelAccessOutsideIsHarmless) {
    EXPECT_EQ(screen.getPixel(-1, 0), 0);
    EXPECT_EQ(screen.getPixel(10, 0), 0);
    screen.setPixel(10, 6, 1);
    screen.setPixel(-1, -1, 1);
    EXPECT_EQ(screen.getPixel(9, 5), bg);
}

TEST_F(SurfaceTest, RoundRectDrawsOnlyTheOutline) {
    PixelSurface s(20, 12);
    s.drawRoundRect({2, 1, 16, 11}, 6, 6, 0xFFFF);
    // Straight edges, exclusive right and bottom.
    EXPECT_EQ(s.getPixel(9, 1), 0xFFFF);
    EXPECT_EQ(s.getPixel(9, 10), 0xFFFF);
    EXPECT_EQ(s.getPixel(2, 6), 0xFFFF);
    EXPECT_EQ(s.getPixel(15, 6), 0xFFFF);
    EXPECT_EQ(s.getPixel(16, 6), 0);
    EXPECT_EQ(s.getPixel(9, 11), 0);
    // Rounded corners leave the corner pixels empty.
    EXPECT_EQ(s.getPixel(2, 1), 0);
    EXPECT_EQ(s.getPixel(15, 10), 0);
    // Unfilled.
    EXPECT_EQ(s.getPixel(9, 6), 0);
    // The outline is closed: every row between top and bottom has exactly
    // two lit pixels, except the top and bottom rows themselves.
    for (int y = 2; y < 10; ++y) {
        int lit = 0;
        for (int x = 0; x < 20; ++x) lit += s.getPixel(x, y) != 0;
        EXPECT_GE(lit, 2) << "row " << y;
    }
    // Symmetric left to right and top to bottom.
    for (int y = 1; y < 11; ++y)
        for (int x = 2; x < 16; ++x) {
            EXPECT_EQ(s.getPixel(x, y), s.getPixel(2 + 15 - x, y));
            EXPECT_EQ(s.getPixel(x, y), s.getPixel(x, 1 + 10 - y));
        }
}

TEST_F(SurfaceTest, RoundRectWithoutCornersIsARectangle) {
    PixelSurface s(6, 5);
    s.drawRoundRect({0, 0, 6, 5}, 0, 0, 9);
    EXPECT_EQ(s.getPixel(0, 0), 9);
    EXPECT_EQ(s.getPixel(5, 4), 9);
    EXPECT_EQ(s.getPixel(2, 2), 0);
    s.drawRoundRect({-3, -3, 100, 100}, 10, 10, 9);  // mostly outside: cut, no crash
}

class BmpTest : public ::testing::Test {
  protected:
    std::unique_ptr<PixelSurface> decode(const std::vector<uint8_t>& b) {
        error.clear();
        return PixelSurface::decodeBMP(b.data(), b.size(), error);
    }
    std::string error;
};

TEST_F(BmpTest, DecodesA24BitPictureTo565) {
    auto b = kit::bmp24(3, 2, [](int x, int y) -> uint32_t {
        if (y == 1) return 0x000000;
        return x == 0 ? 0xFFFFFF : x == 1 ? 0x0000FF : 0x070307;
    });
    auto s = decode(b);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->width(), 3);
    EXPECT_EQ(s->height(), 2);
    EXPECT_EQ(s->getPixel(0, 0), 0xFFFF);
    EXPECT_EQ(s->getPixel(1, 0), 0xF800);  // red in the top five bits
    EXPECT_EQ(s->getPixel(2, 0), 0);       // near-black loses every bit: transparent
    EXPECT_EQ(s->getPixel(0, 1), 0);
}

TEST_F(BmpTest, PixelFromRgbAgreesWithDecodedPictures) {
    EXPECT_EQ(PixelSurface::pixelFromRGB(0xFFFFFF), 0xFFFF);
    EXPECT_EQ(PixelSurface::pixelFromRGB(0x000000), 0);
    const uint32_t colours[] = {0x123456, 0x00FF00, 0xFF0000, 0x808080, 0x0A0B0C, 0xC0FFEE};
    for (uint32_t c : colours) {
        auto s = decode(kit::bmp24(1, 1, [c](int, int) { return c; }));
        ASSERT_TRUE(s) << error;
        EXPECT_EQ(s->getPixel(0, 0), PixelSurface::pixelFromRGB(c)) << std::hex << c;
    }
}

TEST_F(BmpTest, TrailingBytesAfterThePictureAreIgnored) {
    auto b = kit::bmp24(2, 2, [](int, int) { return 0xFFFFFFu; });
    b.resize(b.size() + 1000, 0xAB);
    auto s = decode(b);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->width(), 2);
}

TEST_F(BmpTest, DamagedPicturesGiveAnErrorNotACrash) {
    const auto good = kit::bmp24(4, 4, [](int, int) { return 0x00FF00u; });

    auto truncatedHeader = good;
    truncatedHeader.resize(20);
    EXPECT_FALSE(decode(truncatedHeader));
    EXPECT_NE(error.find("truncated"), std::string::npos) << error;

    EXPECT_FALSE(decode(std::vector<uint8_t>{}));
    EXPECT_FALSE(error.empty());

    auto notBmp = good;
    notBmp[0] = 'X';
    EXPECT_FALSE(decode(notBmp));
    EXPECT_NE(error.find("signature"), std::string::npos) << error;

    auto huge = good;
    pokeLE(huge, 18, 100000);
    pokeLE(huge, 22, 100000);
    EXPECT_FALSE(decode(huge));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;

    auto zero = good;
    pokeLE(zero, 18, 0);
    EXPECT_FALSE(decode(zero));
    auto negativeWidth = good;
    pokeLE(negativeWidth, 18, uint32_t(-4));
    EXPECT_FALSE(decode(negativeWidth));

    auto offsetPast = good;
    pokeLE(offsetPast, 10, 1u << 30);
    EXPECT_FALSE(decode(offsetPast));
    EXPECT_NE(error.find("past the end"), std::string::npos) << error;

    auto truncatedPixels = good;
    truncatedPixels.resize(good.size() - 5);
    EXPECT_FALSE(decode(truncatedPixels));
    EXPECT_NE(error.find("truncated"), std::string::npos) << error;

    auto badDepth = good;
    pokeLE(badDepth, 28, 13, 2);
    EXPECT_FALSE(decode(badDepth));

    auto badInfoSize = good;
    pokeLE(badInfoSize, 14, 0xFFFFFFF0u);
    EXPECT_FALSE(decode(badInfoSize));
}

TEST_F(BmpTest, EveryTruncationIsRefusedSafely) {
    const auto good = kit::bmp24(5, 3, [](int x, int) { return 0x10101u * uint32_t(x * 40); });
    for (size_t n = 0; n < good.size(); ++n) {
        // A copy of exactly n bytes, so a read past it is caught by the sanitizer.
        std::vector<uint8_t> cut(good.begin(), good.begin() + long(n));
        EXPECT_FALSE(PixelSurface::decodeBMP(cut.data(), cut.size(), error)) << n;
    }
}

}  // namespace
