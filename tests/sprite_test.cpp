#include "engine/sprite.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/surface_chain.h"
#include "support/picture_files.h"

using namespace picture_test;

namespace {

class SpriteTest : public EngineFixture {
  protected:
    void SetUp() override {
        EngineFixture::SetUp();
        useArchive({
            {"sq_0.bmp", solid(20, 20, kRed)},
            {"sq_1.bmp", solid(20, 20, kGreen)},
            {"sq_2.bmp", solid(20, 20, kBlue)},
            {"wide.bmp", solid(700, 10, kRed)},
            {"w33.bmp", solid(33, 10, kRed)},
            {"w25.bmp", solid(25, 10, kRed)},
            {"halves_0.bmp", bmp(4, 1, [](int x, int) { return x < 2 ? kRed : kGreen; })},
        });
        clearBack();
        chain = std::make_unique<SurfaceChain>(engine.get(), "sq");
    }
    Sprite at(int x, int y, Surface* s) { return Sprite(engine.get(), x, y, s); }
    std::unique_ptr<SurfaceChain> chain;
};

TEST_F(SpriteTest, DrawsAtItsWorldPositionMinusTheView) {
    Sprite s = at(110, 60, chain->getSurf(0));
    engine->viewX = 100;
    engine->viewY = 50;
    s.process();
    EXPECT_EQ(paintedBounds().left, 0);  // centre 10,10 on screen
    EXPECT_EQ(paintedBounds().top, 0);
    EXPECT_EQ(countIn(RECT{0, 0, 20, 20}, kRedPixel), 400);

    clearBack();
    s.screenFixed = true;
    s.process();
    EXPECT_EQ(paintedBounds().left, 100);
    EXPECT_EQ(paintedBounds().top, 50);
}

TEST_F(SpriteTest, HiddenSpriteNeitherDrawsNorAnimates) {
    chain->linkFrames(2, 0, -1);
    Sprite s = at(100, 100, chain->getSurf(0));
    s.hidden = true;
    for (int i = 0; i < 3; ++i) s.process();
    EXPECT_EQ(s.tick, 0);
    EXPECT_EQ(s.surface, chain->getSurf(0));
    EXPECT_EQ(paintedCount(), 0);
    Sprite none = at(100, 100, nullptr);
    none.process();
    EXPECT_EQ(none.tick, 0);
    EXPECT_FALSE(none.isOnScreen());
}

TEST_F(SpriteTest, AnimationStepsByFrameDurationAndOneShotEnds) {
    chain->linkFrames(0, 0, -1);
    chain->getSurf(1)->frameDuration = 2;
    Sprite s = at(100, 100, chain->getSurf(0));
    s.process();
    EXPECT_EQ(backPixel(100, 100), kRedPixel);
    EXPECT_EQ(s.surface, chain->getSurf(1));
    s.process();
    EXPECT_EQ(s.surface, chain->getSurf(1));
    EXPECT_EQ(s.tick, 1);
    s.process();
    EXPECT_EQ(backPixel(100, 100), kGreenPixel);
    EXPECT_EQ(s.surface, chain->getSurf(2));
    EXPECT_FALSE(s.killed);
    s.process();
    EXPECT_EQ(backPixel(100, 100), kBluePixel);
    EXPECT_TRUE(s.killed);
    EXPECT_EQ(s.surface, chain->getSurf(2));
}

TEST_F(SpriteTest, OffScreenSpriteStillAnimatesAndEnds) {
    chain->linkFrames(0, 0, -1);
    Sprite s = at(-500, 100, chain->getSurf(0));
    EXPECT_FALSE(s.isOnScreen());
    for (int i = 0; i < 3; ++i) s.process();
    EXPECT_TRUE(s.killed);
    EXPECT_EQ(paintedCount(), 0);
}

TEST_F(SpriteTest, OnScreenTestLooksAtTheEdges) {
    Surface* sq = chain->getSurf(0);  // hotspot 10,10
    EXPECT_TRUE(at(10, 10, sq).isOnScreen());
    EXPECT_TRUE(at(-9, 10, sq).isOnScreen());   // right edge at 1
    EXPECT_TRUE(at(-10, 10, sq).isOnScreen());  // right edge at 0 still counts
    EXPECT_FALSE(at(-11, 10, sq).isOnScreen());
    EXPECT_TRUE(at(649, 10, sq).isOnScreen());  // left edge 639
    EXPECT_FALSE(at(650, 10, sq).isOnScreen());
    EXPECT_FALSE(at(100, 500, sq).isOnScreen());

    Surface wide(engine.get(), "wide.bmp");  // 700 wide, overlaps both edges
    Sprite s = at(320, 100, &wide);
    EXPECT_FALSE(s.isOnScreen());
    s.process();
    EXPECT_EQ(paintedCount(), 0);
    s.x = 350;  // left edge at 0: drawn
    s.process();
    EXPECT_GT(paintedCount(), 0);
}

TEST_F(SpriteTest, MirrorFlagDrawsMirrored) {
    SurfaceChain halves(engine.get(), "halves");
    halves.setHotspotAll(0);
    Sprite s = at(10, 10, halves.getSurf(0));
    s.process();
    EXPECT_EQ(backPixel(10, 10), kRedPixel);
    EXPECT_EQ(backPixel(13, 10), kGreenPixel);
    EXPECT_EQ(halves.getSurf(0)->blitFlags & DDBLT_DDFX, 0u);
    s.blitFx.mirrorLeftRight = true;
    s.process();
    EXPECT_EQ(backPixel(10, 10), kGreenPixel);
    EXPECT_EQ(backPixel(13, 10), kRedPixel);
}

TEST_F(SpriteTest, ScaleIsPassedToTheBlit) {
    Sprite s = at(100, 100, chain->getSurf(0));
    chain->getSurf(0)->setHotspot(0);
    s.scale = 0.5;
    s.process();
    EXPECT_EQ(paintedCount(), 100);
}

TEST_F(SpriteTest, DebugLevelTwoAddsTheOutline) {
    engine->debugLevel = 2;
    Sprite s = at(100, 100, chain->getSurf(0));
    s.process();
    EXPECT_EQ(backPixel(100, 90), 0xFFFF);  // top of the outline over the red picture
    EXPECT_EQ(backPixel(100, 100), kRedPixel);
}

class SpriteCollisionTest : public SpriteTest {};

TEST_F(SpriteCollisionTest, CircleOfTheLargerHalfExtent) {
    Surface* sq = chain->getSurf(0);
    Sprite a = at(100, 100, sq);
    EXPECT_TRUE(a.collides(&a));
    Sprite b = at(119, 100, sq);
    EXPECT_TRUE(a.collides(&b));
    b.x = 120;  // R = 20 and 20*20 is not below 20*20
    EXPECT_FALSE(a.collides(&b));
    EXPECT_FALSE(b.collides(&a));
    // Diagonal: the boxes overlap but the circles do not.
    b.x = 115;
    b.y = 115;  // 15*15*2 = 450 >= 400
    EXPECT_FALSE(a.collides(&b));
    b.x = 114;
    b.y = 114;  // 392 < 400
    EXPECT_TRUE(a.collides(&b));
    // The view position plays no part.
    engine->viewX = 5000;
    EXPECT_TRUE(a.collides(&b));
}

TEST_F(SpriteCollisionTest, ScaledRadiiTruncate) {
    Surface w33(engine.get(), "w33.bmp");
    Surface w25(engine.get(), "w25.bmp");
    w33.collisionScale = 0.75;  // radius x 12
    w25.collisionScale = 0.9;   // radius x 10 (10.8 truncated)
    Sprite a = at(0, 0, &w33);
    Sprite b = at(0, 0, &w25);
    // Centres: a at 0 - 16 + 16 = 0; b likewise 0. R = 12 + 10 = 22.
    b.x = 21;
    EXPECT_TRUE(a.collides(&b));
    b.x = 22;
    EXPECT_FALSE(a.collides(&b));
}

TEST_F(SpriteCollisionTest, TallPictureBoxTestUsesSeparateHalfExtents) {
    // The box test alone rules out pictures whose boxes do not touch.
    Surface* sq = chain->getSurf(0);
    Sprite a = at(0, 0, sq);
    Sprite far = at(0, 100000, sq);
    EXPECT_FALSE(a.collides(&far));
    far.y = 20;  // boxes touch, circles do not reach
    EXPECT_FALSE(a.collides(&far));
}

}  // namespace
