// BMP variants that everyday tools write: bit-field pictures in every header
// layout, RLE pictures stored top-down, compressions we refuse by name, and
// the bound on the picture's size.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixel_surface.h"
#include "support/byte_writers.h"

using platform::PixelSurface;

namespace {

using kit::BmpPlan;
using kit::Bytes;

class BmpVariantTest : public ::testing::Test {
  protected:
    std::unique_ptr<PixelSurface> decode(const Bytes& b) {
        error.clear();
        return PixelSurface::decodeBMP(b.data(), b.size(), error);
    }
    std::vector<uint16_t> pixelsOf(const BmpPlan& plan) {
        auto s = decode(kit::bmp(plan));
        std::vector<uint16_t> out;
        EXPECT_TRUE(s) << error;
        if (!s) return out;
        for (int y = 0; y < s->height(); ++y)
            for (int x = 0; x < s->width(); ++x) out.push_back(s->getPixel(x, y));
        return out;
    }
    std::string refusal(const BmpPlan& plan) {
        EXPECT_FALSE(decode(kit::bmp(plan)));
        return error;
    }
    std::string error;
};

TEST_F(BmpVariantTest, BitFieldPicturesMatchTheirPlainTwinsInEveryLayout) {
    // Every 5-5-5 value, and 4096 scattered 8-8-8 colours.
    std::vector<uint32_t> all555(32768), spread(4096);
    for (uint32_t i = 0; i < all555.size(); ++i) all555[i] = i;
    for (uint32_t i = 0; i < spread.size(); ++i) spread[i] = (i * 2654435761u) & 0xFFFFFF;

    BmpPlan plain16{40, 256, 128, 16, 0, {}, {}, kit::bmpRows(256, 128, 2, all555)};
    const std::vector<uint16_t> expected16 = pixelsOf(plain16);
    BmpPlan fields16 = plain16;
    fields16.compression = 3;
    fields16.masks = {0x7C00, 0x03E0, 0x001F};
    EXPECT_EQ(pixelsOf(fields16), expected16);

    BmpPlan plain32{40, 64, 64, 32, 0, {}, {}, kit::bmpRows(64, 64, 4, spread)};
    const std::vector<uint16_t> expected32 = pixelsOf(plain32);
    const std::vector<uint32_t> standard = {0x00FF0000, 0x0000FF00, 0x000000FF};
    const std::vector<uint32_t> withAlpha = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    struct Layout {
        uint32_t infoSize, compression;
        std::vector<uint32_t> masks;
    };
    for (const Layout& l :
         {Layout{40, 3, standard}, Layout{40, 3, withAlpha}, Layout{40, 6, withAlpha},
          Layout{52, 3, standard}, Layout{56, 3, withAlpha}, Layout{108, 3, withAlpha},
          Layout{124, 3, {0x00FF0000, 0x0000FF00, 0x000000FF, 0}}, Layout{108, 6, withAlpha}}) {
        SCOPED_TRACE("header " + std::to_string(l.infoSize) + ", compression " +
                     std::to_string(l.compression) + ", " + std::to_string(l.masks.size()) +
                     " masks");
        BmpPlan fields = plain32;
        fields.infoSize = l.infoSize;
        fields.compression = l.compression;
        fields.masks = l.masks;
        EXPECT_EQ(pixelsOf(fields), expected32);
    }

    // Other orders and widths: the same colours moved up a byte, and 5-6-5.
    std::vector<uint32_t> shifted(spread);
    for (uint32_t& v : shifted) v <<= 8;
    EXPECT_EQ(pixelsOf({40,
                        64,
                        64,
                        32,
                        3,
                        {0xFF000000, 0x00FF0000, 0x0000FF00},
                        {},
                        kit::bmpRows(64, 64, 4, shifted)}),
              expected32);
    std::vector<uint32_t> all565(65536);
    for (uint32_t i = 0; i < all565.size(); ++i) all565[i] = i;
    std::vector<uint16_t> identity(all565.begin(), all565.end());
    EXPECT_EQ(
        pixelsOf(
            {40, 256, 256, 16, 3, {0xF800, 0x07E0, 0x001F}, {}, kit::bmpRows(256, 256, 2, all565)}),
        identity);
    // Ten bits a channel: full scale is white, half scale halves.
    EXPECT_EQ(pixelsOf({40,
                        2,
                        1,
                        32,
                        3,
                        {0x3FF00000, 0x000FFC00, 0x000003FF},
                        {},
                        kit::bmpRows(2, 1, 4, {0x3FFFFFFF, 0x20000000})}),
              (std::vector<uint16_t>{0xFFFF, 0x7800}));
}

TEST_F(BmpVariantTest, TopDownBitFieldAndRlePicturesAreTheRightWayUp) {
    const std::vector<uint16_t> redOverBlue = {0xF800, 0xF800, 0x001F, 0x001F};
    BmpPlan fields{40, 2,
                   2,  32,
                   3,  {0xFF0000, 0xFF00, 0xFF},
                   {}, kit::bmpRows(2, 2, 4, {0xFF0000, 0xFF0000, 0x0000FF, 0x0000FF})};
    EXPECT_EQ(pixelsOf(fields), redOverBlue);
    fields.height = -2;
    fields.pixels =
        kit::bmpRows(2, 2, 4, {0x0000FF, 0x0000FF, 0xFF0000, 0xFF0000});  // top row first
    EXPECT_EQ(pixelsOf(fields), redOverBlue);

    // Palette 0 red, 1 blue; rows of two, each ended by an end-of-line code.
    const std::vector<uint32_t> palette = {0xFF0000, 0x0000FF};
    BmpPlan rle8{40, 2, 2, 8, 1, {}, palette, {2, 1, 0, 0, 2, 0, 0, 1}};  // bottom row first
    EXPECT_EQ(pixelsOf(rle8), redOverBlue);
    rle8.height = -2;
    rle8.pixels = {2, 0, 0, 0, 2, 1, 0, 1};  // top row first
    EXPECT_EQ(pixelsOf(rle8), redOverBlue);
    // A delta code moves on in the direction the rows are stored; what it
    // skips keeps index 0.
    rle8.pixels = {0, 2, 0, 1, 2, 1, 0, 1};
    EXPECT_EQ(pixelsOf(rle8), redOverBlue);

    BmpPlan rle4{40, 2, 2, 4, 2, {}, palette, {2, 0x00, 0, 0, 2, 0x11, 0, 1}};  // top row first
    rle4.height = -2;
    EXPECT_EQ(pixelsOf(rle4), redOverBlue);
}

TEST_F(BmpVariantTest, KindsWeDoNotDecodeAreRefusedByName) {
    const Bytes some(64, 0x55);
    EXPECT_EQ(refusal({40, 2, 2, 24, 4, {}, {}, some}),
              "JPEG-compressed BMP pictures are not supported");
    EXPECT_EQ(refusal({40, 2, 2, 24, 5, {}, {}, some}),
              "PNG-compressed BMP pictures are not supported");
    EXPECT_EQ(refusal({64, 2, 2, 24, 4, {}, {}, some}),
              "OS/2 RLE24-compressed pictures are not supported");
    EXPECT_EQ(refusal({64, 8, 2, 1, 3, {}, {0, 0xFFFFFF}, some}),
              "Huffman-compressed 1-bit pictures are not supported");
    EXPECT_EQ(refusal({40, 8, 2, 1, 3, {}, {0, 0xFFFFFF}, some}),
              "Huffman-compressed 1-bit pictures are not supported");
    EXPECT_EQ(refusal({40, 2, 2, 24, 3, {0xFF0000, 0xFF00, 0xFF}, {}, some}),
              "bit-field compression of 24-bit pixels is damaged");
    EXPECT_EQ(refusal({40, 2, 2, 24, 1, {}, {}, some}),
              "RLE8 compression of 24-bit pixels is damaged");
    EXPECT_EQ(refusal({40, 2, 2, 24, 11, {}, {}, some}), "BMP compression 11 is not supported");

    // Masks left out: the first pixel bytes must not be taken as masks.
    BmpPlan noMasks{40, 3,  2,  16,
                    3,  {}, {}, kit::bmpRows(3, 2, 2, {0x7C00, 0x7C00, 0x7C00, 0, 0, 0})};
    EXPECT_EQ(refusal(noMasks),
              "bit-field compression without its colour masks (the pixels start at byte 54)");
    noMasks.compression = 6;
    noMasks.masks = {0x7C00, 0x03E0, 0x001F};  // alpha bit fields need a fourth
    EXPECT_EQ(refusal(noMasks),
              "bit-field compression without its colour masks (the pixels start at byte 66)");

    for (const std::vector<uint32_t>& masks :
         std::vector<std::vector<uint32_t>>{{0x7C00, 0x03E0, 0},
                                            {0x7C00, 0x07E0, 0x001F},
                                            {0x7C00, 0x0360, 0x001F},
                                            {0x7C000, 0x03E0, 0x001F}}) {
        EXPECT_NE(refusal({40, 2, 1, 16, 3, masks, {}, Bytes(4, 0)}).find("are not usable"),
                  std::string::npos)
            << std::hex << masks[0] << " " << masks[1] << " " << masks[2];
    }
}

TEST_F(BmpVariantTest, PicturesAreBoundedBeforeAnyMemoryIsTaken) {
    // A 1,080-byte RLE8 file that says 16384x16384.
    BmpPlan huge{40, 16384, 16384, 8, 1, {}, std::vector<uint32_t>(256, 0), Bytes(2, 0)};
    huge.pixels.resize(1080 - 14 - 40 - 1024, 0);
    ASSERT_EQ(kit::bmp(huge).size(), 1080u);
    EXPECT_EQ(refusal(huge),
              "BMP picture too large (16384x16384; at most 8192 pixels a side and 64 MiB of "
              "16-bit pixels)");
    huge.width = 8193;
    huge.height = 1;
    EXPECT_NE(refusal(huge).find("too large (8193x1"), std::string::npos);
    huge.width = 8192;
    huge.height = 4097;  // 8192 a side, but 2 bytes more than 64 MiB
    EXPECT_NE(refusal(huge).find("too large (8192x4097"), std::string::npos);
    huge.height = -2;
    huge.pixels = {0, 1};
    auto wide = decode(kit::bmp(huge));
    ASSERT_TRUE(wide) << error;
    EXPECT_EQ(wide->width(), 8192);
}

}  // namespace
