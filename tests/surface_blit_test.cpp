#include <gtest/gtest.h>

#include <memory>

#include "engine/surface.h"
#include "support/picture_files.h"

using namespace picture_test;

namespace {

// Column i of the striped pictures has colour kStripe[i % 4].
constexpr uint32_t kStripe[4] = {kRed, kGreen, kBlue, kWhite};
constexpr uint16_t kStripePixel[4] = {kRedPixel, kGreenPixel, kBluePixel, 0xFFFF};

class SurfaceBlitTest : public EngineFixture {
  protected:
    void SetUp() override {
        EngineFixture::SetUp();
        useArchive({
            {"red5x3.bmp", solid(5, 3, kRed)},
            {"stripes.bmp", bmp(4, 2, [](int x, int) { return kStripe[x]; })},
            {"stripes10.bmp", bmp(10, 2, [](int x, int) { return x < 5 ? kRed : kGreen; })},
            // A green square with a black and a near-black hole.
            {"holes.bmp", bmp(4, 4,
                              [](int x, int y) {
                                  if (x == 1 && y == 1) return 0x000000u;
                                  if (x == 2 && y == 2) return 0x070307u;
                                  return kGreen;
                              })},
            {"wide.bmp",
             bmp(740, 10, [](int x, int) { return x < 50    ? kRed
                                                  : x < 690 ? kGreen
                                                            : kBlue; })},
            {"full.bmp", solid(640, 480, kBlue)},
            {"broken.bmp", "BM this is not a picture"},
        });
        clearBack();
    }
    std::unique_ptr<Surface> load(const std::string& name) {
        return std::make_unique<Surface>(engine.get(), name);
    }
    Surface* back() { return engine->back; }
};

TEST_F(SurfaceBlitTest, LoadedPictureIsCentredOnItsPosition) {
    auto s = load("red5x3.bmp");
    EXPECT_EQ(s->width, 5);
    EXPECT_EQ(s->height, 3);
    EXPECT_EQ(s->hotspotX, 2);
    EXPECT_EQ(s->hotspotY, 1);
    EXPECT_EQ(s->nextFrame, s.get());
    EXPECT_EQ(s->frameDuration, 1);
    EXPECT_EQ(s->collisionScale, 1.0);
    EXPECT_EQ(s->blitFlags, DDBLT_KEYSRC);
    EXPECT_EQ(logLines.back(), "Loading file [red5x3.bmp].");

    s->blit(back(), 100, 100);
    EXPECT_EQ(paintedBounds().left, 98);
    EXPECT_EQ(paintedBounds().top, 99);
    EXPECT_EQ(countIn(RECT{98, 99, 103, 102}, kRedPixel), 15);
    EXPECT_EQ(paintedCount(), 15);

    clearBack();
    s->setHotspot(0);
    s->blit(back(), 100, 100);
    EXPECT_EQ(countIn(RECT{100, 100, 105, 103}, kRedPixel), 15);
    EXPECT_EQ(paintedCount(), 15);
}

TEST_F(SurfaceBlitTest, HotspotCodesFollowTheKeypad) {
    auto s = load("red5x3.bmp");
    for (int code : {2, 5, 8}) {
        s->setHotspot(code);
        EXPECT_EQ(s->hotspotX, 2) << code;
    }
    const int expected[10][2] = {{0, 0}, {0, 3}, {2, 3}, {5, 3}, {0, 1},
                                 {2, 1}, {5, 1}, {0, 0}, {2, 0}, {5, 0}};
    for (int code = 0; code <= 9; ++code) {
        s->setHotspot(code);
        EXPECT_EQ(s->hotspotX, expected[code][0]) << code;
        EXPECT_EQ(s->hotspotY, expected[code][1]) << code;
    }
    s->setHotspot(3);
    s->setHotspot(10);
    s->setHotspot(-1);
    EXPECT_EQ(s->hotspotX, 5);
    EXPECT_EQ(s->hotspotY, 3);
}

TEST_F(SurfaceBlitTest, BlackAndLostNearBlackAreTransparentUntilTheKeyIsOff) {
    auto s = load("holes.bmp");
    s->setHotspot(0);
    back()->fill(nullptr, kBluePixel);
    s->blit(back(), 10, 10);
    EXPECT_EQ(backPixel(11, 11), kBluePixel);
    EXPECT_EQ(backPixel(12, 12), kBluePixel);
    EXPECT_EQ(backPixel(10, 10), kGreenPixel);
    EXPECT_EQ(countIn(RECT{10, 10, 14, 14}, kGreenPixel), 14);

    s->blitFlags = 0;
    s->blit(back(), 10, 10);
    EXPECT_EQ(backPixel(11, 11), 0);
    EXPECT_EQ(backPixel(12, 12), 0);
}

TEST_F(SurfaceBlitTest, StretchedSizesTruncateTowardZero) {
    auto s = load("stripes10.bmp");
    s->setHotspot(0);
    const RECT tenByFour{0, 0, 10, 4};
    RECT r = s->placement(7, 9, &tenByFour, 1.0);
    EXPECT_EQ(r.width(), 10);
    EXPECT_EQ(r.height(), 4);

    const RECT five{0, 0, 5, 2};
    r = s->placement(3, 0, &five, 0.5);
    EXPECT_EQ(r.left, 3);
    EXPECT_EQ(r.right, 5);  // trunc(2.5 + 3)
    r = s->placement(-3, 0, &five, 0.5);
    EXPECT_EQ(r.left, -3);
    EXPECT_EQ(r.right, 0);  // trunc(2.5 - 3): one pixel more than on the right side

    s->blit(back(), 3, 0, &five, nullptr, 0.5);
    EXPECT_EQ(countIn(RECT{3, 0, 5, 1}, kRedPixel), 2);
    EXPECT_EQ(paintedCount(), 2);  // 5 by 2 at half size: 2 by 1
}

TEST_F(SurfaceBlitTest, MirroredBlitReversesTheColumnsAndKeepsTheKey) {
    auto s = load("stripes.bmp");
    s->setHotspot(0);
    BlitFx mirror;
    mirror.mirrorLeftRight = true;
    s->blit(back(), 10, 5, nullptr, &mirror);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(backPixel(10 + x, 5), kStripePixel[3 - x]) << x;
    EXPECT_EQ(s->blitFlags, DDBLT_KEYSRC | DDBLT_DDFX);

    s->blit(back(), 10, 20, nullptr, nullptr);
    EXPECT_EQ(s->blitFlags, DDBLT_KEYSRC);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(backPixel(10 + x, 20), kStripePixel[x]) << x;

    auto holes = load("holes.bmp");
    holes->setHotspot(0);
    back()->fill(nullptr, kBluePixel);
    holes->blit(back(), 0, 0, nullptr, &mirror);
    EXPECT_EQ(backPixel(2, 1), kBluePixel);  // the black hole at column 1, mirrored
    EXPECT_EQ(backPixel(1, 2), kBluePixel);
    EXPECT_EQ(backPixel(1, 1), kGreenPixel);
}

TEST_F(SurfaceBlitTest, BlitsHalfOutsideTheBackSurfaceDrawTheVisibleHalf) {
    auto s = load("stripes10.bmp");  // red left half, green right half
    s->setHotspot(0);
    s->blit(back(), -5, 0);
    EXPECT_EQ(countIn(RECT{0, 0, 5, 2}, kGreenPixel), 10);
    EXPECT_EQ(paintedCount(), 10);

    clearBack();
    BlitFx mirror;
    mirror.mirrorLeftRight = true;
    s->blit(back(), -5, 0, nullptr, &mirror);
    EXPECT_EQ(countIn(RECT{0, 0, 5, 2}, kRedPixel), 10);
    EXPECT_EQ(paintedCount(), 10);

    clearBack();
    s->blit(back(), 635, 479);
    EXPECT_EQ(countIn(RECT{635, 479, 640, 480}, kRedPixel), 5);
    EXPECT_EQ(paintedCount(), 5);

    // Stretched and cut: the source is cut in proportion.
    auto stripes = load("stripes.bmp");
    stripes->setHotspot(0);
    clearBack();
    stripes->blit(back(), -2, 0, nullptr, nullptr, 2.0);
    // Destination columns -2..5 show source columns 0 0 1 1 2 2 3 3.
    const uint16_t expected[6] = {kGreenPixel, kGreenPixel, kBluePixel, kBluePixel, 0xFFFF, 0xFFFF};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(backPixel(x, 0), expected[x]) << x;
    EXPECT_EQ(backPixel(6, 0), 0);

    clearBack();
    s->blit(back(), 700, 10);
    s->blit(back(), -20, 10);
    EXPECT_EQ(paintedCount(), 0);
}

TEST_F(SurfaceBlitTest, ClipRectangleLimitsBlitsAndFills) {
    const RECT clip{100, 100, 200, 200};
    engine->setClipRect(&clip);
    auto s = load("stripes10.bmp");
    s->setHotspot(0);
    s->blit(back(), 95, 150);
    EXPECT_EQ(countIn(RECT{100, 150, 105, 152}, kGreenPixel), 10);
    EXPECT_EQ(paintedCount(), 10);
    back()->fill(nullptr, kRedPixel);
    EXPECT_EQ(paintedCount(), 100 * 100);
    EXPECT_EQ(backPixel(99, 150), 0);
}

TEST_F(SurfaceBlitTest, FillsCoverTheirRectangleOrTheWholeSurface) {
    back()->fill(nullptr, 0x1234);
    EXPECT_EQ(countIn(RECT{0, 0, 640, 480}, 0x1234), 640 * 480);
    const RECT r{10, 20, 30, 25};
    back()->fillRGB(&r, kRed);
    EXPECT_EQ(countIn(RECT{0, 0, 640, 480}, kRedPixel), 20 * 5);
    EXPECT_EQ(backPixel(10, 20), kRedPixel);
    EXPECT_EQ(backPixel(30, 20), 0x1234);
}

TEST_F(SurfaceBlitTest, MatchColorAndFirstPixel) {
    EXPECT_EQ(back()->matchColor(0x000000), 0u);
    EXPECT_EQ(back()->matchColor(0xFFFFFF), 0xFFFFu);
    EXPECT_EQ(back()->matchColor(kGreen), kGreenPixel);
    auto s = load("holes.bmp");
    EXPECT_EQ(s->firstPixel(), kGreenPixel);
    EXPECT_EQ(s->matchColor(kBlue), kBluePixel);
    EXPECT_EQ(s->firstPixel(), kGreenPixel);  // matching leaves the picture alone

    Surface bare(engine.get());
    EXPECT_EQ(bare.matchColor(kWhite), 0xFFFFFFFFu);
    EXPECT_EQ(bare.firstPixel(), 0xFFFFFFFFu);
    EXPECT_NE(bare.blit(back(), 0, 0), 0);
}

TEST_F(SurfaceBlitTest, LoadBmpCentresOnTheSentinel) {
    back()->loadBMP("full.bmp", kCentre, kCentre);
    EXPECT_EQ(countIn(RECT{0, 0, 640, 480}, kBluePixel), 640 * 480);
    EXPECT_EQ(logLines.back(), "Loading BMP onto surface [full.bmp].");

    clearBack();
    back()->loadBMP("wide.bmp", kCentre, kCentre);  // 100 wider: at x = -50, y = 235
    EXPECT_EQ(countIn(RECT{0, 235, 640, 245}, kGreenPixel), 640 * 10);
    EXPECT_EQ(paintedCount(), 640 * 10);

    clearBack();
    back()->loadBMP("holes.bmp", 7, 8);  // a plain copy: black is written too
    EXPECT_EQ(backPixel(7, 8), kGreenPixel);
    EXPECT_EQ(countIn(RECT{7, 8, 11, 12}, kGreenPixel), 14);
    EXPECT_EQ(back()->width, 640);
    EXPECT_EQ(back()->hotspotX, 0);
    EXPECT_EQ(back()->blitFlags, 0u);
}

TEST_F(SurfaceBlitTest, OutlineIsAnUnfilledWhiteBoxOfTheCollisionRadii) {
    useArchive({{"sq.bmp", solid(20, 20, kRed)}});
    auto s = load("sq.bmp");
    s->drawOutline(100, 100);  // centre (100, 100), radii 10
    EXPECT_EQ(paintedBounds().left, 90);
    EXPECT_EQ(paintedBounds().top, 90);
    EXPECT_EQ(paintedBounds().right, 110);
    EXPECT_EQ(paintedBounds().bottom, 110);
    EXPECT_EQ(backPixel(100, 90), 0xFFFF);
    EXPECT_EQ(backPixel(100, 100), 0);
    clearBack();
    s->collisionScale = 0.5;
    s->drawOutline(100, 100);
    EXPECT_EQ(paintedBounds().left, 95);
    EXPECT_EQ(paintedBounds().right, 105);
}

TEST_F(SurfaceBlitTest, DamagedOrMissingPictureEndsTheProgramNamingTheFile) {
    EXPECT_EXIT(load("broken.bmp"), ::testing::ExitedWithCode(255),
                "Surface::Surface\\(\\): 'broken.bmp: ");
    EXPECT_EXIT(back()->loadBMP("broken.bmp", 0, 0), ::testing::ExitedWithCode(255),
                "Surface::loadBMP\\(\\): 'broken.bmp: ");
    EXPECT_EXIT(load("absent.bmp"), ::testing::ExitedWithCode(255),
                "ZefDX::checkFile\\(\\): 'Cannot open file absent.bmp'");
}

TEST_F(SurfaceBlitTest, ScreenSurfacesAreUnkeyedAndCleared) {
    EXPECT_EQ(engine->front->blitFlags, 0u);
    EXPECT_EQ(engine->back->blitFlags, 0u);
    EXPECT_EQ(engine->back->width, 640);
    EXPECT_EQ(engine->back->height, 480);
    EXPECT_TRUE(engine->back->ddSurface->hasClipper());
    EXPECT_FALSE(engine->front->ddSurface->hasClipper());
}

}  // namespace
