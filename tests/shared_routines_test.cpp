#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "platform/result_codes.h"
#include "services/sound.h"
#include "shell/main_window.h"
#include "support/byte_writers.h"
#include "support/scratch_dir.h"

namespace {

// Records what is asked of the sound device, so a pan can be read exactly.
struct RecordingAudio : platform::AudioDevice {
    int32_t open() override { return platform::kOk; }
    bool isOpen() const override { return true; }
    VoiceId createVoice(const platform::PcmFormat&, const uint8_t*, size_t) override { return 7; }
    void destroyVoice(VoiceId) override {}
    void play(VoiceId, bool looping) override { calls.push_back(looping ? "loop" : "play"); }
    void stop(VoiceId) override { calls.push_back("stop"); }
    void setPosition(VoiceId, uint32_t offset) override {
        calls.push_back("pos " + std::to_string(offset));
    }
    bool isPlaying(VoiceId) const override { return false; }
    void setPan(VoiceId, int32_t pan) override { calls.push_back("pan " + std::to_string(pan)); }
    void setFrequency(VoiceId, uint32_t) override {}
    uint32_t getFrequency(VoiceId) const override { return 22050; }
    std::vector<std::string> calls;
};

struct RecordingSystem : platform::System {
    platform::Window& window() override { return inner.window(); }
    platform::InputDevice& input() override { return inner.input(); }
    platform::Clock& clock() override { return inner.clock(); }
    platform::AudioDevice& audio() override { return audio_; }
    platform::HeadlessSystem inner;
    RecordingAudio audio_;
};

constexpr uint16_t kWhite = 0xFFFF;
constexpr int kGradientWidth = 100;

class SharedRoutinesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        form.engine = new ZefDX(&sys, true, 640, 480, 16);
        form.engine->pacer.start(38);
        form.engine->createSound();
        gradient = std::make_unique<Surface>(form.engine);
        gradient->ddSurface = std::make_unique<platform::PixelSurface>(kGradientWidth, 10);
        gradient->width = kGradientWidth;
        gradient->height = 10;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < kGradientWidth; ++x) gradient->ddSurface->setPixel(x, y, colour(x));
        form.fireGradient = gradient.get();
    }

    static uint16_t colour(int column) { return uint16_t(0x0800 + column); }
    uint16_t back(int x, int y) const { return form.engine->back->ddSurface->getPixel(x, y); }
    const platform::PixelSurface& frontPixels() const { return *form.engine->front->ddSurface; }
    static bool allZero(const platform::PixelSurface& s) {
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x)
                if (s.getPixel(x, y) != 0) return false;
        return true;
    }

    RecordingSystem sys;
    TForm1 form{&sys};
    std::unique_ptr<Surface> gradient;
};

TEST_F(SharedRoutinesTest, GaugeOfZeroDrawsOnlyTheFrame) {
    form.drawGauge(100, 50, 0, 60, 8);
    EXPECT_EQ(back(130, 48), kWhite);  // top edge, two above y
    EXPECT_EQ(back(130, 59), kWhite);  // bottom edge, y + height + 1
    EXPECT_EQ(back(98, 54), kWhite);   // left edge
    EXPECT_EQ(back(161, 54), kWhite);  // right edge
    for (int y = 50; y < 58; ++y)
        for (int x = 100; x < 160; ++x) ASSERT_EQ(back(x, y), 0) << x << "," << y;
}

TEST_F(SharedRoutinesTest, GaugeShowsTheFirstValueColumnsOfTheGradient) {
    form.drawGauge(100, 50, 30, 60, 8);
    for (int x = 100; x < 160; ++x) {
        EXPECT_EQ(back(x, 50), x < 130 ? colour(x - 100) : 0) << x;
        EXPECT_EQ(back(x, 57), x < 130 ? colour(x - 100) : 0) << x;
    }
    EXPECT_EQ(back(110, 58), 0);  // the bar is `height` lines high
}

TEST_F(SharedRoutinesTest, FullGaugeFillsTheWidth) {
    form.drawGauge(10, 10, 60, 60, 4);
    for (int x = 10; x < 70; ++x) EXPECT_EQ(back(x, 12), colour(x - 10)) << x;
}

TEST_F(SharedRoutinesTest, NoPowerDotsDrawNothing) {
    form.drawPowerDots(200, 300, 0);
    EXPECT_TRUE(allZero(*form.engine->back->ddSurface));
}

TEST_F(SharedRoutinesTest, PowerDotsAreFourPixelSquaresFivePixelsApart) {
    form.drawPowerDots(200, 300, 3);
    for (int i = 0; i < 3; ++i) {
        for (int dy = 0; dy < 4; ++dy)
            for (int dx = 0; dx < 4; ++dx)
                EXPECT_EQ(back(200 + 5 * i + dx, 300 + dy), colour(10 * i + dx)) << i;
        EXPECT_EQ(back(200 + 5 * i + 4, 300), 0) << i;  // the gap
        EXPECT_EQ(back(200 + 5 * i, 304), 0) << i;
    }
    EXPECT_EQ(back(215, 300), 0);
}

TEST_F(SharedRoutinesTest, PlayAtPansByTheScreenPosition) {
    kit::ScratchDir dir;
    kit::writeFile(dir.file("a.wav"), kit::wav({}, kit::pcm16({1, 2})));
    Sound sound(form.engine, dir.file("a.wav"));
    form.engine->viewX = 1000;
    auto pan = [&](int32_t x) {
        sys.audio_.calls.clear();
        form.playAt(&sound, x);
        return sys.audio_.calls;
    };
    EXPECT_EQ(pan(1000), (std::vector<std::string>{"pan -5000", "stop", "pos 0", "play"}));
    EXPECT_EQ(pan(1320).front(), "pan 0");
    EXPECT_EQ(pan(1640).front(), "pan 5000");
    EXPECT_EQ(pan(1001).front(), "pan -4984");  // -4984.375, truncated toward zero
    EXPECT_EQ(pan(2640).front(), "pan 20625");  // passed on; the device clamps
    form.engine->soundEnabled = false;
    EXPECT_TRUE(pan(1320).empty());
}

TEST_F(SharedRoutinesTest, CurtainPresentsEightGrowingBarsAndEndsBlack) {
    form.engine->front->ddSurface->fill(nullptr, 0x1234);
    form.engine->back->ddSurface->fill(nullptr, 0x5678);
    size_t before = sys.inner.presentCount();
    form.closeCurtain();
    const auto& frames = sys.inner.frames();
    ASSERT_EQ(sys.inner.presentCount() - before, 8u);

    const int bars[8] = {0, 122, 183, 214, 229, 237, 241, 243};
    for (size_t k = 0; k < 8; ++k) {
        const auto& f = frames[before + k];
        EXPECT_EQ(f.timeMs - frames[before].timeMs, 38 * k) << k;
        for (int y = 0; y < 480; ++y) {
            bool bar = y < bars[k] || y >= 480 - bars[k];
            // Between the bars: the picture that was on screen, not the old back.
            ASSERT_EQ(f.pixels[size_t(y) * 640 + 320], bar ? 0 : 0x1234) << k << " " << y;
            ASSERT_EQ(f.pixels[size_t(y) * 640], bar ? 0 : 0x1234) << k << " " << y;
        }
    }
    EXPECT_TRUE(allZero(frontPixels()));
    EXPECT_TRUE(allZero(*form.engine->back->ddSurface));
}

}  // namespace
