#include <gtest/gtest.h>

#include "platform/pixel_surface.h"
#include "platform/typeface.h"

using platform::PixelSurface;
using platform::Typeface;

namespace {

struct Ink {
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1, count = 0;
};

// Where the surface differs from `background`.
Ink inkOf(const PixelSurface& s, uint16_t background) {
    Ink ink;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x) {
            if (s.getPixel(x, y) == background) continue;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

class TypefaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        face = Typeface::open("Arial", 20, error);
        ASSERT_TRUE(face) << error;
    }
    std::unique_ptr<Typeface> face;
    std::string error;
};

TEST_F(TypefaceTest, ArialResolvesToAScalableFontFile) {
    const std::string path = face->path();
    EXPECT_FALSE(path.empty());
    EXPECT_TRUE(path.find(".ttf") != std::string::npos || path.find(".otf") != std::string::npos)
        << path;
}

TEST_F(TypefaceTest, TextIsDrawnInItsColourOnATransparentBackground) {
    PixelSurface s(200, 40);
    s.fill(nullptr, 0x001F);
    face->draw(s, 10, 5, "1234", 0xFFFFFF, 0);
    const Ink ink = inkOf(s, 0x001F);
    ASSERT_GT(ink.count, 20);
    EXPECT_GE(ink.left, 10);
    EXPECT_GE(ink.top, 5);
    EXPECT_LE(ink.bottom, 5 + 20);  // about 20 pixels of line height
    EXPECT_GT(ink.bottom - ink.top, 8);
    int white = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) white += s.getPixel(x, y) == 0xFFFF;
    EXPECT_GT(white, 10);  // solid strokes are exactly the colour
    // Background pixels between the glyphs are untouched.
    EXPECT_EQ(s.getPixel(ink.left - 1, ink.top), 0x001F);
}

TEST_F(TypefaceTest, TextOnTheTransparentValueNeverBecomesIt) {
    PixelSurface s(100, 30);
    face->draw(s, 0, 0, "88", 0x000001, 0);  // nearly black on 0
    EXPECT_GT(inkOf(s, 0).count, 10);
}

TEST_F(TypefaceTest, AlignmentPlacesTheText) {
    PixelSurface left(300, 30), centred(300, 30), right(300, 30);
    face->draw(left, 150, 0, "4711", 0xFFFFFF, 0);
    face->draw(centred, 150, 0, "4711", 0xFFFFFF, 6);
    face->draw(right, 150, 0, "4711", 0xFFFFFF, 2);
    const Ink l = inkOf(left, 0), c = inkOf(centred, 0), r = inkOf(right, 0);
    EXPECT_GE(l.left, 150);
    EXPECT_LE(r.right, 150);
    EXPECT_GT(r.right, 140);
    EXPECT_NEAR((c.left + c.right) / 2.0, 150, 4);
    EXPECT_EQ(l.top, c.top);
    EXPECT_EQ(l.count, c.count);
}

TEST_F(TypefaceTest, TextPartlyOutsideIsCut) {
    PixelSurface s(20, 10);
    face->draw(s, -5, -8, "12345678", 0xFFFFFF, 0);
    face->draw(s, 15, 5, "12345678", 0xFFFFFF, 0);
    face->draw(s, 5, 5, "", 0xFFFFFF, 0);
    EXPECT_GT(inkOf(s, 0).count, 0);
}

}  // namespace
