#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "support/generated_data.h"

using namespace generated_data;

namespace {

class GeneratedPicturesTest : public GeneratedDataFixture {
  protected:
    // Red, green and blue of a 5-6-5 pixel on a common 0..63 scale.
    static int channelDistance(uint16_t a, uint16_t b) {
        int dr = ((a >> 11) & 31) * 2 - ((b >> 11) & 31) * 2;
        int dg = ((a >> 5) & 63) - ((b >> 5) & 63);
        int db = (a & 31) * 2 - (b & 31) * 2;
        return std::abs(dr) + std::abs(dg) + std::abs(db);
    }
    static int luminance(uint16_t p) {
        return ((p >> 11) & 31) * 2 * 3 + ((p >> 5) & 63) * 6 + (p & 31) * 2;
    }
    static int zeroCount(const platform::PixelSurface& s) {
        int n = 0;
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x) n += s.getPixel(x, y) == 0;
        return n;
    }
};

TEST_F(GeneratedPicturesTest, EveryFileTheGameLoadsIsThere) {
    const char* const names[] = {
        "gfx/firegradient.bmp", "gfx/sky.bmp",         "gfx/sea540.bmp",      "gfx/island.bmp",
        "gfx/shadow_0.bmp",     "gfx/smalllogo_0.bmp", "gfx/presents.bmp",    "gfx/zefDX.bmp",
        "gfx/Mirefen.bmp",      "gfx/Corvale.bmp",     "gfx/dolby.bmp",       "gfx/logo.bmp",
        "gfx/copyright.bmp",    "gfx/kv2-teaser.bmp",  "gfx/interaction.zan", "sfx/rot5loo1.wav",
        "sfx/engnxplo.wav",     "sfx/ovrevlp1.wav",    "sfx/bmbwstl2.wav",    "sfx/splash.wav",
        "sfx/planesplash.wav",  "sfx/spanloo.wav",     "sfx/cannonfire.wav",  "sfx/warningbeep.wav",
        "sfx/sunshineDance.wav"};
    for (const char* name : names) EXPECT_TRUE(files().fileExists(name)) << name;
}

TEST_F(GeneratedPicturesTest, SeriesHaveTheirFrameCounts) {
    EXPECT_EQ(seriesLength("gfx/plane"), 64);
    EXPECT_EQ(seriesLength("gfx/cannon"), 33);
    EXPECT_EQ(seriesLength("gfx/cannonball"), 2);
    EXPECT_EQ(seriesLength("gfx/bomb"), 32);
    EXPECT_EQ(seriesLength("gfx/arrow"), 32);
    EXPECT_EQ(seriesLength("gfx/sparc"), 128);
    EXPECT_EQ(seriesLength("gfx/icon"), 2);
    int palms = seriesLength("gfx/palm");
    EXPECT_GE(palms, 8);
    EXPECT_LE(palms, 12);
    int splashes = seriesLength("gfx/splash");
    EXPECT_GE(splashes, 6);
    EXPECT_LE(splashes, 10);
}

TEST_F(GeneratedPicturesTest, EveryPrintableGlyphExistsAndSharesOneHeight) {
    int height = -1;
    for (int code = 33; code <= 126; ++code) {
        std::string name = "gfx/alphabet_" + std::to_string(code) + ".bmp";
        ASSERT_TRUE(files().fileExists(name)) << name;
        auto glyph = picture(name);
        ASSERT_TRUE(glyph);
        if (height < 0) height = glyph->height();
        EXPECT_EQ(glyph->height(), height) << name;
        EXPECT_GT(glyph->width(), 2) << name;
        EXPECT_GT(glyph->width() * glyph->height(), zeroCount(*glyph)) << name << " is empty";
    }
    EXPECT_GE(height, 16);
    EXPECT_LE(height, 26);
}

TEST_F(GeneratedPicturesTest, PicturesHaveTheSizesTheScreensAssume) {
    auto sky = picture("gfx/sky.bmp");
    EXPECT_EQ(sky->width(), 640);
    EXPECT_EQ(sky->height(), 240);
    auto sea = picture("gfx/sea540.bmp");
    EXPECT_EQ(sea->width(), 540);
    EXPECT_EQ(sea->height(), 120);
    auto fire = picture("gfx/firegradient.bmp");
    EXPECT_GE(fire->width(), 200);
    EXPECT_GE(fire->height(), 20);
    auto island = picture("gfx/island.bmp");
    EXPECT_NEAR(island->width(), 300, 30);
    for (const char* name :
         {"gfx/presents.bmp", "gfx/zefDX.bmp", "gfx/Mirefen.bmp", "gfx/Corvale.bmp",
          "gfx/dolby.bmp", "gfx/logo.bmp", "gfx/copyright.bmp", "gfx/kv2-teaser.bmp"}) {
        auto screen = picture(name);
        EXPECT_EQ(screen->width(), 640) << name;
        EXPECT_EQ(screen->height(), 480) << name;
        // Drawn opaque on a black screen: a hole would show as a black speck.
        EXPECT_EQ(zeroCount(*screen), 0) << name;
    }
}

TEST_F(GeneratedPicturesTest, SkyStartsFromTheScreenColourAndHasNoHoles) {
    auto sky = picture("gfx/sky.bmp");
    const uint16_t first = sky->getPixel(0, 0);
    EXPECT_NE(first, 0);
    for (int x = 0; x < sky->width(); ++x) ASSERT_EQ(sky->getPixel(x, 0), first) << "x " << x;
    // The next rows stay close to it, so the fill above the layer joins without a step.
    for (int x = 0; x < sky->width(); ++x)
        EXPECT_LE(channelDistance(sky->getPixel(x, 1), first), 4);
    EXPECT_EQ(zeroCount(*sky), 0);
    // Deep blue on top, bright haze at the horizon.
    uint16_t bottom = sky->getPixel(8, sky->height() - 1);
    EXPECT_GT(first & 31, (first >> 11) & 31);
    EXPECT_GT(luminance(bottom), luminance(first) + 100);
}

TEST_F(GeneratedPicturesTest, IslandSandIsSolidBetweenGroundAndSeaLine) {
    auto island = picture("gfx/island.bmp");
    const int cx = island->width() / 2, cy = island->height() / 2, seaRow = cy + 10;
    // Palms stand from 42 to 60 above the centre with their feet 44 below that: the ground.
    for (int u = -100; u <= 100; u += 4) {
        int solidFrom = -1;
        for (int y = 0; y < seaRow; ++y) {
            if (island->getPixel(cx + u, y) != 0) {
                solidFrom = y;
                break;
            }
        }
        ASSERT_GE(solidFrom, 0) << "column " << u << " has no ground";
        EXPECT_LE(solidFrom, cy + 4) << "column " << u;
        for (int y = solidFrom; y <= seaRow; ++y) {
            EXPECT_NE(island->getPixel(cx + u, y), 0) << "hole at " << u << ", " << y;
        }
    }
    // Nothing of the island hangs in the air above the palms' feet line at the centre.
    EXPECT_EQ(island->getPixel(cx, 0), 0);
}

TEST_F(GeneratedPicturesTest, PlaneFramesAreSolidAndPointAlongTheirHeading) {
    for (int f = 0; f < 64; ++f) {
        auto plane = picture("gfx/plane_" + std::to_string(f) + ".bmp");
        ASSERT_TRUE(plane);
        EXPECT_NEAR(plane->width(), 48, 8);
        EXPECT_NEAR(plane->height(), 48, 8);
        const int cx = plane->width() / 2, cy = plane->height() / 2;
        // The fuselage is a solid body through the centre.
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                EXPECT_NE(plane->getPixel(cx + dx, cy + dy), 0) << "frame " << f;
    }
    // The nose (spinner) lies 18 pixels from the centre along the heading.
    auto right = picture("gfx/plane_8.bmp");
    auto left = picture("gfx/plane_24.bmp");
    auto up = picture("gfx/plane_0.bmp");
    EXPECT_NE(right->getPixel(24 + 18, 24), 0);
    EXPECT_EQ(right->getPixel(24 - 23, 24), 0);
    EXPECT_NE(left->getPixel(24 - 18, 24), 0);
    EXPECT_NE(up->getPixel(24, 24 - 18), 0);
    // The two propeller pictures of one heading differ.
    auto other = picture("gfx/plane_40.bmp");
    int differing = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) differing += right->getPixel(x, y) != other->getPixel(x, y);
    EXPECT_GT(differing, 10);
}

TEST_F(GeneratedPicturesTest, CannonBarrelTurnsAboutAPivotBelowTheCentre) {
    struct Case {
        int frame, dx, dy;
    };
    // Muzzle 33 pixels from the pivot, which is 10 below the picture's centre.
    for (Case c : {Case{0, -33, 0}, Case{16, 0, -33}, Case{32, 33, 0}, Case{8, -23, -23}}) {
        auto cannon = picture("gfx/cannon_" + std::to_string(c.frame) + ".bmp");
        const int px = cannon->width() / 2, py = cannon->height() / 2 + 10;
        EXPECT_NE(cannon->getPixel(px + c.dx, py + c.dy), 0) << "frame " << c.frame;
        // and nothing on the opposite side at that distance
        EXPECT_EQ(cannon->getPixel(px - c.dx, py - c.dy), 0) << "frame " << c.frame;
    }
}

TEST_F(GeneratedPicturesTest, ArrowsPointRightAtEightAndLeftAtTwentyFour) {
    // Opaque rows in the outermost opaque column on each side: the point is narrow, the
    // flat end of the shaft is not.
    struct Ends {
        int left, right;
    };
    auto ends = [&](int frame) {
        auto arrow = picture("gfx/arrow_" + std::to_string(frame) + ".bmp");
        auto rows = [&](int x) {
            int n = 0;
            for (int y = 0; y < arrow->height(); ++y) n += arrow->getPixel(x, y) != 0;
            return n;
        };
        int first = 0, last = arrow->width() - 1;
        while (first < last && rows(first) == 0) ++first;
        while (last > first && rows(last) == 0) --last;
        return Ends{rows(first), rows(last)};
    };
    Ends right = ends(8), left = ends(24);
    EXPECT_LT(right.right, right.left);
    EXPECT_LE(right.right, 4);
    EXPECT_LT(left.left, left.right);
    EXPECT_LE(left.left, 4);
}

TEST_F(GeneratedPicturesTest, PalmStandsOnItsFootAndEndsAsAStump) {
    const int frames = seriesLength("gfx/palm");
    auto standing = picture("gfx/palm_0.bmp");
    auto stump = picture("gfx/palm_" + std::to_string(frames - 1) + ".bmp");
    const int cx = standing->width() / 2, bottom = standing->height() - 1;
    // The trunk is solid from the foot up through the middle of the picture.
    for (int y = bottom - 1; y > standing->height() / 2; --y) {
        bool solid = false;
        for (int dx = -3; dx <= 6; ++dx) solid |= standing->getPixel(cx + dx, y) != 0;
        EXPECT_TRUE(solid) << "trunk gap at row " << y;
    }
    auto opaque = [&](const platform::PixelSurface& s) {
        return s.width() * s.height() - zeroCount(s);
    };
    EXPECT_GT(opaque(*standing), 4 * opaque(*stump));
    EXPECT_GT(opaque(*stump), 0);
    EXPECT_EQ(stump->getPixel(cx, standing->height() / 3), 0);  // the crown is gone
}

TEST_F(GeneratedPicturesTest, TwoGeneratorRunsGiveTheSameBytes) {
    // Named by process: other test runs on the machine may do the same at once.
    const std::string again =
        ::testing::TempDir() + "kestova_again_" + std::to_string(getpid()) + ".dat";
    const std::string command =
        std::string(KESTOVA_BUILD_DIR) + "/tools/assetgen/assetgen --out " + again;
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), {});
    };
    std::vector<char> built = slurp(archivePath()), rerun = slurp(again);
    EXPECT_GT(built.size(), 1000u);
    EXPECT_TRUE(built == rerun) << "the archive differs between two runs";
    std::remove(again.c_str());
}

}  // namespace
