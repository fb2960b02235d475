#include "engine/zef_dx.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/surface.h"
#include "platform/headless.h"
#include "services/zef_input.h"

namespace {

constexpr int kEscape = 0x01;
constexpr int kSpace = 0x39;

// Draws a fixed colour at a fixed place and counts its steps.
struct Painter : ZefBase {
    Painter(ZefDX* owner, uint16_t colour, std::vector<int>* seen)
        : ZefBase(owner), colour(colour), seen(seen) {}
    void process() override {
        if (seen) seen->push_back(owner->frameCounter);
        RECT r{10, 10, 20, 20};
        owner->back->fill(&r, colour);
    }
    uint16_t colour;
    std::vector<int>* seen;
};

class ZefDXTest : public ::testing::Test {
  protected:
    void SetUp() override {
        engine = new ZefDX(&system, true, 640, 480, 16);
        engine->createInput(1);
    }
    void TearDown() override { delete engine; }
    uint16_t frontPixel(int x, int y) { return engine->front->ddSurface->getPixel(x, y); }
    uint16_t backPixel(int x, int y) { return engine->back->ddSurface->getPixel(x, y); }

    platform::HeadlessSystem system;
    ZefDX* engine = nullptr;
};

TEST_F(ZefDXTest, ConstructionSetsTheModeAndClearsBothSurfaces) {
    EXPECT_EQ(engine->width, 640);
    EXPECT_EQ(engine->height, 480);
    EXPECT_EQ(engine->pixelFormat, 565);
    EXPECT_EQ(engine->back->width, 640);
    EXPECT_EQ(engine->clipRect.right, 640);
    EXPECT_EQ(engine->clipRect.bottom, 480);
    EXPECT_EQ(engine->front->blitFlags, 0u);
    EXPECT_EQ(engine->back->blitFlags, 0u);
    EXPECT_EQ(backPixel(0, 0), 0);
}

TEST_F(ZefDXTest, WaitSleepsWholeStepsOnly) {
    uint64_t before = system.totalSleptMs();
    engine->wait(49);
    EXPECT_EQ(system.totalSleptMs(), before);
    engine->wait(120);
    EXPECT_EQ(system.totalSleptMs() - before, 100u);
    engine->wait(2000);
    EXPECT_EQ(system.totalSleptMs() - before, 2100u);
}

TEST_F(ZefDXTest, KeyAlreadyHeldDoesNotEndTheWait) {
    system.holdKey(kEscape, 0);
    engine->input->update();
    uint64_t before = system.totalSleptMs();
    engine->wait(500);
    EXPECT_EQ(system.totalSleptMs() - before, 500u);
}

TEST_F(ZefDXTest, NewPressEndsTheWaitWithinAStep) {
    int first = system.keyReads();
    // Space goes down at the third update inside the wait.
    system.holdKey(kSpace, first + 2);
    uint64_t before = system.totalSleptMs();
    engine->wait(2000);
    EXPECT_EQ(system.totalSleptMs() - before, 100u);
}

TEST_F(ZefDXTest, FlipLeavesThePreviousPictureInTheBack) {
    RECT r{0, 0, 1, 1};
    engine->back->fill(&r, 0x1111);
    engine->frame();
    EXPECT_EQ(frontPixel(0, 0), 0x1111);
    EXPECT_EQ(backPixel(0, 0), 0);  // the old front
    engine->back->fill(&r, 0x2222);
    engine->frame();
    EXPECT_EQ(backPixel(0, 0), 0x1111);
    ASSERT_EQ(system.frames().size(), 2u);
    EXPECT_NE(system.frames()[0].hash, system.frames()[1].hash);
    // Blits onto the new back are still clipped to the screen.
    RECT off{600, 470, 700, 500};
    EXPECT_EQ(engine->back->fill(&off, 0x3333), 0);
    EXPECT_EQ(backPixel(639, 479), 0x3333);
}

TEST_F(ZefDXTest, ProcessRunsChildrenBeforePresentAndCountsAfter) {
    std::vector<int> seen;
    engine->children.append(new Painter(engine, 0x07E0, &seen));
    engine->pacer.start(38);
    engine->process();
    engine->process();
    EXPECT_EQ(seen, (std::vector<int>{0, 1}));
    EXPECT_EQ(engine->frameCounter, 2);
    ASSERT_EQ(system.frames().size(), 2u);
    // The child's drawing is in the presented picture.
    const auto& f = system.frames().back();
    EXPECT_EQ(f.pixels[15 * 640 + 15], 0x07E0);
    EXPECT_EQ(f.pixels[0], 0);
    // Frames are paced 38 ms apart in virtual time.
    EXPECT_EQ(system.frames()[1].timeMs - system.frames()[0].timeMs, 38u);
}

TEST_F(ZefDXTest, WithoutPerFrameClearEarlierDrawingStays) {
    engine->clearEachFrame = false;
    RECT r{100, 100, 101, 101};
    engine->back->fill(&r, 0x1234);
    engine->process();
    EXPECT_EQ(system.frames().back().pixels[100 * 640 + 100], 0x1234);
    engine->clearEachFrame = true;
    engine->back->fill(&r, 0x1234);
    engine->process();
    EXPECT_EQ(system.frames().back().pixels[100 * 640 + 100], 0);
}

TEST_F(ZefDXTest, StoppedEngineDoesNothing) {
    engine->stopped = true;
    engine->process();
    EXPECT_EQ(engine->frameCounter, 0);
    EXPECT_TRUE(system.frames().empty());
}

TEST_F(ZefDXTest, TimingBarsShowThePeriodInWhite) {
    engine->debugLevel = 1;
    engine->pacer.start(38);
    engine->process();
    const auto& f = system.frames().back().pixels;
    EXPECT_EQ(f[0 * 640 + 37], 0xFFFF);
    EXPECT_EQ(f[0 * 640 + 38], 0);
}

TEST_F(ZefDXTest, FatalErrorShowsTheBoxAndExitsWithMinusOne) {
    EXPECT_EXIT(engine->fatalError("ZefDX::frame()", "Boom", int32_t(0x887601C2u)),
                ::testing::ExitedWithCode(255),
                "ZefDX Error.*Function ZefDX::frame\\(\\): 'Boom', error code: 0x887601C2");
}

TEST_F(ZefDXTest, F10EndsTheProgramFromTheFrameStep) {
    system.holdKey(0x44, system.keyReads());
    EXPECT_EXIT(engine->process(), ::testing::ExitedWithCode(255),
                "Function ZefInput::update\\(\\): 'User requested emergency exit.'");
}

TEST_F(ZefDXTest, RefusedDisplayModeIsFatal) {
    EXPECT_EXIT(engine->setDisplayMode(640, 480, 24), ::testing::ExitedWithCode(255),
                "Cannot set video mode 640x480x24', error code: 0x88760078");
}

}  // namespace
