#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "services/zef_input.h"
#include "support/byte_writers.h"
#include "support/scratch_dir.h"
#include "zan_encoder.h"

namespace {

using Words = std::vector<uint16_t>;

class ZanEncodeTest : public ::testing::Test {
  protected:
    static Words blank(int w, int h) { return Words(size_t(w) * h, 0); }
};

TEST_F(ZanEncodeTest, UnchangedFrameIsOnlyTheEndWord) {
    Words a = blank(8, 4);
    a[5] = 0x1234;
    EXPECT_EQ(zan::encodeFrame(a, a, 8, 4, false), Words{0x8000});
}

TEST_F(ZanEncodeTest, OneChangedPixelSkipsLinesAndColumns) {
    Words before = blank(8, 4), after = blank(8, 4);
    after[3 * 8 + 5] = 0x0123;
    EXPECT_EQ(zan::encodeFrame(before, after, 8, 4, false), (Words{0xFFFD, 5, 1, 0x0123, 0x8000}));
}

TEST_F(ZanEncodeTest, ShortGapsJoinRunsLongOnesSplitThem) {
    Words before = blank(12, 1), after = blank(12, 1);
    after[1] = 1;
    after[3] = 3;    // gap of one: one run 1..3
    after[7] = 7;    // gap of three: a new run
    after[10] = 10;  // gap of two: joined to the run at 7
    EXPECT_EQ(zan::encodeFrame(before, after, 12, 1, false),
              (Words{1, 3, 1, 0, 3, 3, 4, 7, 0, 0, 10, 0x8000}));
}

TEST_F(ZanEncodeTest, WholeFrameStoresEveryLine) {
    Words pixels(3 * 2);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = uint16_t(i + 1);
    EXPECT_EQ(zan::encodeFrame({}, pixels, 3, 2, true),
              (Words{0, 3, 1, 2, 3, 0xFFFF, 0, 3, 4, 5, 6, 0x8000}));
}

TEST_F(ZanEncodeTest, SkipsBeyondOneWordAreSplit) {
    const int w = 40000;
    Words before = blank(w, 1), after = blank(w, 1);
    after[35000] = 9;
    EXPECT_EQ(zan::encodeFrame(before, after, w, 1, false),
              (Words{0x7FFF, 0, 35000 - 0x7FFF, 1, 9, 0x8000}));
}

TEST_F(ZanEncodeTest, HeaderCommandsAndEnd) {
    zan::Encoder enc(3, 2, 76);
    EXPECT_FALSE(enc.addFrame(blank(2, 2)));  // wrong size: refused
    EXPECT_EQ(enc.loadSound("sfx/a.wav"), 0);
    EXPECT_EQ(enc.loadSound(std::string(300, 'x')), 1);
    enc.playSound(1, true);
    enc.stopSound(0);
    enc.addWait(120);
    auto bytes = enc.finish();
    ASSERT_EQ(bytes.size(), 12u + 2 * 260 + 12 + 8 + 8 + 4);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[4], 2);
    EXPECT_EQ(bytes[8], 76);
    EXPECT_EQ(bytes[12], 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[16])), "sfx/a.wav");
    const size_t second = 16 + 260;  // the second name field
    EXPECT_EQ(bytes[second + 254], 'x');
    EXPECT_EQ(bytes[second + 255], 0);  // cut to 255 characters
    EXPECT_EQ(enc.frameCount(), 0);
}

TEST_F(ZanEncodeTest, StoredPixelsAreFiveFiveFive) {
    EXPECT_EQ(zan::to555(0xFFFF), 0x7FFF);
    EXPECT_EQ(zan::to555(0xF800), 0x7C00);
    EXPECT_EQ(zan::to555(0x07E0), 0x03E0);
    EXPECT_EQ(zan::to555(0x001F), 0x001F);
}

// Frames encoded, then played on the headless engine, come back as drawn.
class ZanRoundTripTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dx = std::make_unique<ZefDX>(&sys, true, 640, 480, 16);
        dx->pacer.start(38);
        dx->createInput(ZefInput::kKeyboard);
    }

    std::string write(const std::vector<uint8_t>& bytes) {
        kit::writeFile(dir.file("r.zan"), bytes);
        return dir.file("r.zan");
    }

    // What a 5-6-5 display shows for a pixel that went through the file.
    static uint16_t shownAs(uint16_t p) { return uint16_t(p & 0xFFDF); }

    void expectShown(size_t present, const Words& frame, int w, int h, int x0, int y0) {
        const auto& f = sys.frames().at(present);
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                bool inside = x >= x0 && x < x0 + w && y >= y0 && y < y0 + h;
                uint16_t expected = inside ? shownAs(frame[size_t(y - y0) * w + (x - x0)]) : 0;
                ASSERT_EQ(f.pixels[size_t(y) * 640 + x], expected)
                    << "present " << present << " at " << x << "," << y;
            }
        }
    }

    kit::ScratchDir dir;
    platform::HeadlessSystem sys;
    std::unique_ptr<ZefDX> dx;
};

TEST_F(ZanRoundTripTest, DeltaFramesPlayBackAsEncoded) {
    const int w = 64, h = 48;
    std::mt19937 rng(7);
    std::vector<Words> frames;
    Words picture(size_t(w) * h);
    for (auto& p : picture) p = uint16_t(rng() | 1);  // never 0, any green bit
    frames.push_back(picture);
    for (int k = 0; k < 4; ++k) {
        // A block and some scattered pixels change each time.
        for (int y = 10 + k; y < 20 + k; ++y)
            for (int x = 5 * k; x < 5 * k + 12; ++x) picture[size_t(y) * w + x] = uint16_t(rng());
        for (int i = 0; i < 30; ++i) picture[rng() % picture.size()] = uint16_t(rng());
        frames.push_back(picture);
    }
    zan::Encoder enc(w, h, 0);
    std::vector<size_t> sizes;
    for (const Words& f : frames) {
        size_t before = enc.finish().size();
        ASSERT_TRUE(enc.addFrame(f));
        sizes.push_back(enc.finish().size() - before);
    }
    // Later frames hold only what changed.
    for (size_t k = 1; k < sizes.size(); ++k) EXPECT_LT(sizes[k] * 4, sizes[0]) << k;

    dx->playAnimation(write(enc.finish()), 100, 50);
    ASSERT_EQ(sys.presentCount(), frames.size() + 1);
    for (size_t k = 0; k < frames.size(); ++k) expectShown(k, frames[k], w, h, 100, 50);
    expectShown(frames.size(), frames.back(), w, h, 100, 50);
}

TEST_F(ZanRoundTripTest, WorstCaseFullScreenFrameFitsTheBuffer) {
    const int w = 640, h = 480;
    Words first(size_t(w) * h, 0x0841), second = first;
    // Every other pixel changes: the costliest pattern for runs.
    for (size_t i = 0; i < second.size(); i += 2) second[i] = 0xF81F;
    zan::Encoder enc(w, h, 0);
    enc.addFrame(first);
    enc.addFrame(second);
    dx->playAnimation(write(enc.finish()), 0, 0);
    ASSERT_EQ(sys.presentCount(), 3u);
    expectShown(0, first, w, h, 0, 0);
    expectShown(1, second, w, h, 0, 0);
}

TEST_F(ZanRoundTripTest, BackgroundMakesTheFirstFrameADelta) {
    const int w = 16, h = 8;
    Words background(size_t(w) * h, 0x1000);
    Words frame = background;
    frame[3] = 0x2000;
    zan::Encoder enc(w, h, 0);
    enc.setBackground(background);
    enc.addFrame(frame);
    auto bytes = enc.finish();
    EXPECT_EQ(bytes.size(), 12u + 8 + 4 * 2 + 4);  // skip, count, one pixel, end word
    dx->back->ddSurface->fill(nullptr, 0x1000);
    dx->playAnimation(write(bytes), 0, 0);
    EXPECT_EQ(sys.frames()[0].pixels[3], 0x2000);
    EXPECT_EQ(sys.frames()[0].pixels[4], 0x1000);
}

// The zanenc command refuses scripts the game would refuse to play.
class ZanencScriptTest : public ::testing::Test {
  protected:
    // Runs zanenc on `script`; returns its exit code, with its error output in `err`.
    int run(const std::string& script) {
        std::ofstream(dir.file("s.txt")) << script;
        const std::string command = std::string(KESTOVA_ZANENC) + " " + dir.file("s.txt") + " " +
                                    dir.file("out.zan") + " >/dev/null 2>" + dir.file("err");
        const int status = std::system(command.c_str());
        std::ifstream in(dir.file("err"));
        err.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    kit::ScratchDir dir;
    std::string err;
};

TEST_F(ZanencScriptTest, SoundNumbersMustHaveBeenLoaded) {
    EXPECT_EQ(run("size 2 2\nload sfx/a.wav\nplay 0 loop\nstop 0\n"), 0) << err;
    EXPECT_EQ(run("size 2 2\nload sfx/a.wav\nplay 1\n"), 1);
    EXPECT_EQ(err, "zanenc: " + dir.file("s.txt") +
                       ":3: sound 1 has not been loaded (1 loaded so far)\n");
    EXPECT_EQ(run("size 2 2\nstop 0\nload sfx/a.wav\n"), 1);
    EXPECT_NE(err.find(":2: sound 0 has not been loaded (0 loaded so far)"), std::string::npos)
        << err;
}

TEST_F(ZanencScriptTest, PeriodIsAtMostFiveSeconds) {
    EXPECT_EQ(run("size 2 2\nperiod 5000\n"), 0) << err;
    EXPECT_EQ(run("size 2 2\nperiod 5001\n"), 1);
    EXPECT_NE(err.find(":2: period MS (0 to 5000)"), std::string::npos) << err;
}

}  // namespace
