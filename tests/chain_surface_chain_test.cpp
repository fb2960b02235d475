#include <gtest/gtest.h>

#include <memory>

#include "engine/surface.h"
#include "engine/surface_chain.h"
#include "support/picture_files.h"

using namespace picture_test;

namespace {

class SurfaceChainTest : public EngineFixture {
  protected:
    // Picture n of "gfx/x" is n + 1 pixels wide, so its number shows in its width.
    void useSeries(std::initializer_list<int> numbers) {
        Files files;
        for (int n : numbers) {
            files.emplace_back("gfx/x_" + std::to_string(n) + ".bmp", solid(n + 1, 2, kRed));
        }
        useArchive(files);
    }
    std::unique_ptr<SurfaceChain> chainOfFour() {
        useSeries({0, 1, 2, 3});
        return std::make_unique<SurfaceChain>(engine.get(), "gfx/x");
    }
    // The chain's surface numbers met from `from` following nextFrame, up to `steps`
    // steps; -1 stands for the end (null).
    std::vector<int> walk(SurfaceChain& chain, int from, int steps) {
        std::vector<int> seen;
        Surface* s = chain.getSurf(from);
        for (int i = 0; i < steps; ++i) {
            s = s->nextFrame;
            seen.push_back(s == nullptr ? -1 : s->width - 1);
            if (s == nullptr) break;
        }
        return seen;
    }
};

TEST_F(SurfaceChainTest, LoadsInNumberOrderUpToTheFirstGap) {
    useSeries({0, 1, 3});
    SurfaceChain chain(engine.get(), "gfx/x");
    EXPECT_EQ(chain.count, 2);
    EXPECT_EQ(logLines.back(), "[gfx/x] Loaded total of 2 surfaces.");
    EXPECT_EQ(std::count(logLines.begin(), logLines.end(), "Loading file [gfx/x_3.bmp]."), 0);

    // Stored out of order in the archive: numbers, not names, decide the order.
    Files files;
    for (int n = 12; n >= 0; --n) {
        files.emplace_back("gfx/x_" + std::to_string(n) + ".bmp", solid(n + 1, 2, kRed));
    }
    useArchive(files);
    SurfaceChain thirteen(engine.get(), "gfx/x");
    ASSERT_EQ(thirteen.count, 13);
    for (int i = 0; i < 13; ++i) EXPECT_EQ(thirteen.getSurf(i)->width, i + 1);
    // Each picture is its own next frame until linked.
    EXPECT_EQ(thirteen.getSurf(4)->nextFrame, thirteen.getSurf(4));
    EXPECT_EQ(thirteen.getSurf(4)->hotspotX, 2);
}

TEST_F(SurfaceChainTest, NoFirstPictureEndsTheProgram) {
    useSeries({1, 2});
    EXPECT_EXIT(SurfaceChain(engine.get(), "gfx/x"), ::testing::ExitedWithCode(255),
                "Function SurfaceChain::SurfaceChain\\(\\): 'Could not find any images \\(tried "
                "gfx/x_0.bmp\\)'");
}

TEST_F(SurfaceChainTest, GetSurfRefusesIndicesOutsideTheChain) {
    auto chain = chainOfFour();
    EXPECT_EQ(chain->getSurf(3)->width, 4);
    EXPECT_EXIT(chain->getSurf(4), ::testing::ExitedWithCode(255),
                "SurfaceChain::getSurf\\(\\): 'Requested surface 4, only 4 present'");
    EXPECT_EXIT(chain->getSurf(-1), ::testing::ExitedWithCode(255),
                "'Requested surface -1, only 4 present'");
}

TEST_F(SurfaceChainTest, LinkFramesEndModes) {
    auto chain = chainOfFour();
    chain->linkFrames(2, 0, -1);
    EXPECT_EQ(walk(*chain, 0, 5), (std::vector<int>{1, 2, 3, 0, 1}));
    chain->linkFrames(0, 0, -1);
    EXPECT_EQ(walk(*chain, 0, 5), (std::vector<int>{1, 2, 3, -1}));
    chain->linkFrames(1, 0, 10);  // cut to the chain
    EXPECT_EQ(walk(*chain, 0, 5), (std::vector<int>{1, 2, 3, 3, 3}));
}

TEST_F(SurfaceChainTest, LinkFramesTouchesOnlyItsRun) {
    auto chain = chainOfFour();
    chain->linkFrames(0, 2, 1);
    EXPECT_EQ(chain->getSurf(2)->nextFrame, nullptr);
    for (int i : {0, 1, 3}) EXPECT_EQ(chain->getSurf(i)->nextFrame, chain->getSurf(i)) << i;

    chain->linkFrames(2, 1, 2);  // 1 -> 2 -> 1
    EXPECT_EQ(walk(*chain, 1, 3), (std::vector<int>{2, 1, 2}));
    EXPECT_EQ(chain->getSurf(3)->nextFrame, chain->getSurf(3));

    chain->linkFrames(7, 3, 1);  // an unknown end mode leaves the link alone
    EXPECT_EQ(chain->getSurf(3)->nextFrame, chain->getSurf(3));
    EXPECT_EXIT(chain->linkFrames(2, 5, 1), ::testing::ExitedWithCode(255),
                "Requested surface 5, only 4 present");
}

TEST_F(SurfaceChainTest, HotspotAndCollisionScaleForAll) {
    auto chain = chainOfFour();
    chain->setHotspotAll(3);
    chain->setCollisionScaleAll(0.75);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(chain->getSurf(i)->hotspotX, i + 1);
        EXPECT_EQ(chain->getSurf(i)->hotspotY, 2);
        EXPECT_EQ(chain->getSurf(i)->collisionScale, 0.75);
    }
}

}  // namespace
