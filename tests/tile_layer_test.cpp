#include "services/tile_layer.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/surface.h"
#include "engine/surface_chain.h"
#include "support/picture_files.h"

using namespace picture_test;

namespace {

class TileLayerTest : public EngineFixture {
  protected:
    void SetUp() override {
        EngineFixture::SetUp();
        useArchive({
            // The sea marks its first column red.
            {"sea540.bmp", bmp(540, 120, [](int x, int) { return x == 0 ? kRed : kGreen; })},
            {"sky.bmp", solid(640, 240, kBlue)},
            {"t_0.bmp", solid(50, 50, kRed)},
            {"t_1.bmp", solid(50, 50, kGreen)},
            {"t_2.bmp", solid(50, 50, kBlue)},
        });
        clearBack();
        sea = std::make_unique<Surface>(engine.get(), "sea540.bmp");
        sea->setHotspot(0);
        sky = std::make_unique<Surface>(engine.get(), "sky.bmp");
        sky->setHotspot(0);
        tiles = std::make_unique<SurfaceChain>(engine.get(), "t");
        tiles->setHotspotAll(0);
        logLines.clear();
    }
    std::unique_ptr<TileLayer> seaLayer() {
        auto layer = std::make_unique<TileLayer>(engine.get(), -6400, 360, 1, 1, 540, 120);
        layer->wrapAcross = true;
        layer->fillAll(sea.get());
        return layer;
    }
    std::unique_ptr<Surface> sea, sky;
    std::unique_ptr<SurfaceChain> tiles;
};

TEST_F(TileLayerTest, ConstructionLogsTheGrid) {
    TileLayer skyLayer(engine.get(), 0, 120, 1, 1, 640, 240);
    TileLayer seaLayer(engine.get(), -6400, 360, 1, 1, 540, 120);
    TileLayer square(engine.get(), 5, -7, 2, 3, 16);
    ASSERT_EQ(logLines.size(), 3u);
    EXPECT_EQ(logLines[0], "New 1x1 tile layer, (0,120)-(639,359), tile size 640x240.");
    EXPECT_EQ(logLines[1], "New 1x1 tile layer, (-6400,360)-(-5861,479), tile size 540x120.");
    EXPECT_EQ(logLines[2], "New 2x3 tile layer, (5,-7)-(36,40), tile size 16x16.");
    EXPECT_EQ(square.tileHeight, 16);
    EXPECT_EQ(square.cells.size(), 6u);
    EXPECT_EQ(square.getTile(1, 2), nullptr);
    EXPECT_FALSE(square.wrapAcross);
    EXPECT_EQ(square.parallaxAcross, 1.0);
    EXPECT_EQ(square.stepPeriod, 1);
}

TEST_F(TileLayerTest, SeaCopiesStartAtMinus460WithTheViewAtZero) {
    auto layer = seaLayer();
    layer->process();
    EXPECT_EQ(backPixel(80, 360), kRedPixel);  // -460 + 540: the second copy's first column
    EXPECT_EQ(backPixel(79, 360), kGreenPixel);
    EXPECT_EQ(backPixel(620, 479), kRedPixel);
    EXPECT_EQ(backPixel(0, 360), kGreenPixel);
    EXPECT_EQ(countIn(RECT{0, 0, 640, 360}, 0), 640 * 360);
    EXPECT_EQ(countIn(RECT{0, 360, 640, 480}, 0), 0);

    clearBack();
    engine->viewX = 100;  // copies from -((100 + 6400) mod 540) = -20
    layer->process();
    EXPECT_EQ(backPixel(520, 400), kRedPixel);
    EXPECT_EQ(backPixel(519, 400), kGreenPixel);
    EXPECT_EQ(backPixel(80, 400), kGreenPixel);
}

TEST_F(TileLayerTest, SkyStaysPutWhateverTheHorizontalView) {
    TileLayer layer(engine.get(), 0, 120, 1, 1, 640, 240);
    layer.parallaxAcross = 0.0;
    layer.fillAll(sky.get());
    for (int viewX : {0, 777, -6400}) {
        clearBack();
        engine->viewX = viewX;
        layer.process();
        const RECT b = paintedBounds();
        EXPECT_EQ(b.left, 0) << viewX;
        EXPECT_EQ(b.top, 120) << viewX;
        EXPECT_EQ(b.right, 640) << viewX;
        EXPECT_EQ(b.bottom, 360) << viewX;
        EXPECT_EQ(paintedCount(), 640 * 240) << viewX;
    }
}

TEST_F(TileLayerTest, GridLeftOfTheViewLandsAtItsTruePlace) {
    TileLayer layer(engine.get(), 130, 10, 1, 1, 50, 50);
    layer.fillAll(tiles->getSurf(0));
    layer.process();
    const RECT b = paintedBounds();
    EXPECT_EQ(b.left, 130);
    EXPECT_EQ(b.top, 10);
    EXPECT_EQ(paintedCount(), 50 * 50);

    // An outside tile fills the cells around the grid but not the strip
    // before the first visited cell.
    clearBack();
    layer.outsideTile = tiles->getSurf(1);
    layer.process();
    EXPECT_EQ(backPixel(30, 10), kGreenPixel);  // column -2 at 130 - 100
    EXPECT_EQ(backPixel(29, 10), 0);
    EXPECT_EQ(backPixel(0, 10), 0);
    EXPECT_EQ(backPixel(130, 10), kRedPixel);
    EXPECT_EQ(backPixel(630, 470), kGreenPixel);
}

TEST_F(TileLayerTest, WrapTakesTheSignedRemainder) {
    TileLayer layer(engine.get(), 0, 0, 3, 2, 50);
    layer.cells = {tiles->getSurf(0), tiles->getSurf(1), tiles->getSurf(2),
                   tiles->getSurf(2), tiles->getSurf(1), tiles->getSurf(0)};
    Surface outside(engine.get());
    layer.outsideTile = &outside;
    EXPECT_EQ(layer.getTile(4, 0), &outside);
    EXPECT_EQ(layer.getTile(0, 1), tiles->getSurf(2));
    layer.wrapAcross = true;
    EXPECT_EQ(layer.getTile(4, 0), tiles->getSurf(1));
    EXPECT_EQ(layer.getTile(-1, 0), &outside);
    EXPECT_EQ(layer.getTile(-3, 0), tiles->getSurf(0));  // -3 % 3 is 0
    EXPECT_EQ(layer.getTile(1, 2), &outside);
    layer.wrapDown = true;
    EXPECT_EQ(layer.getTile(4, 3), layer.cells[4]);  // row 1, column 1
    EXPECT_EQ(layer.getTile(0, -1), &outside);
}

TEST_F(TileLayerTest, TilesStepToTheirNextFrameEveryPeriod) {
    tiles->linkFrames(2, 0, -1);
    TileLayer layer(engine.get(), 0, 0, 2, 1, 50);
    layer.fillAll(tiles->getSurf(0));
    layer.cells[1] = nullptr;
    layer.outsideTile = tiles->getSurf(1);
    layer.stepPeriod = 3;
    layer.process();
    layer.process();
    EXPECT_EQ(layer.cells[0], tiles->getSurf(0));
    layer.process();
    EXPECT_EQ(layer.cells[0], tiles->getSurf(1));
    EXPECT_EQ(layer.cells[1], nullptr);
    EXPECT_EQ(layer.outsideTile, tiles->getSurf(2));
    EXPECT_EQ(layer.stepCounter, 0);

    layer.stepPeriod = 1;
    layer.process();
    EXPECT_EQ(layer.cells[0], tiles->getSurf(2));
    clearBack();
    layer.process();  // drawn with the blue frame, then stepped back to red
    EXPECT_EQ(backPixel(0, 0), kBluePixel);
    EXPECT_EQ(layer.cells[0], tiles->getSurf(0));
}

TEST_F(TileLayerTest, EmptyTilesAreRefused) {
    EXPECT_EXIT(TileLayer(engine.get(), 0, 0, 1, 1, 0, 0), ::testing::ExitedWithCode(255),
                "TileLayer::TileLayer\\(\\): 'Invalid tile layer: 1x1 tiles of 0x0'");
    EXPECT_EXIT(TileLayer(engine.get(), 0, 0, -1, 1, 8), ::testing::ExitedWithCode(255),
                "Invalid tile layer");
}

}  // namespace
