#include "services/animator.h"

#include <gtest/gtest.h>

#include <functional>

#include "engine/surface.h"
#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "services/zef_input.h"
#include "support/byte_writers.h"
#include "support/scratch_dir.h"
#include "support/zan_bytes.h"
#include "zan_encoder.h"

namespace {

class AnimatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dx = std::make_unique<ZefDX>(&sys, true, 640, 480, 16);
        dx->pacer.start(38);
        dx->createSound();
        dx->createInput(ZefInput::kKeyboard);
    }

    std::string write(const std::vector<uint8_t>& bytes, const std::string& name = "a.zan") {
        kit::writeFile(dir.file(name), bytes);
        return dir.file(name);
    }

    // A one-colour frame of the animation area, in 5-6-5 with the lowest
    // green bit clear so it survives the stored 5-5-5 layout unchanged.
    static std::vector<uint16_t> plain(int w, int h, uint16_t p) {
        return std::vector<uint16_t>(size_t(w) * h, uint16_t(p & 0xFFDF));
    }

    const platform::HeadlessSystem::Frame& shown(size_t k) const { return sys.frames().at(k); }
    static uint16_t at(const platform::HeadlessSystem::Frame& f, int x, int y) {
        return f.pixels[size_t(y) * 640 + x];
    }

    std::string sound(int frames) {
        kit::writeFile(dir.file("s.wav"),
                       kit::wav({}, kit::pcm16(std::vector<int16_t>(frames, 5000))));
        return dir.file("s.wav");
    }

    kit::ScratchDir dir;
    platform::HeadlessSystem sys;
    std::unique_ptr<ZefDX> dx;
};

TEST_F(AnimatorTest, FramesArePacedByTheFilePeriod) {
    zan::Encoder enc(4, 4, 76);
    enc.addFrame(plain(4, 4, 0x1111));
    enc.addFrame(plain(4, 4, 0x2222));
    dx->playAnimation(write(enc.finish()), 0, 0);
    ASSERT_EQ(sys.presentCount(), 3u);  // two frames, then the end command's present
    EXPECT_EQ(shown(1).timeMs - shown(0).timeMs, 76u);
    EXPECT_EQ(shown(2).timeMs - shown(1).timeMs, 76u);
}

TEST_F(AnimatorTest, PeriodZeroTakesTheEnginePeriod) {
    zan::Encoder enc(4, 4, 0);
    enc.addFrame(plain(4, 4, 0x1111));
    dx->playAnimation(write(enc.finish()), 0, 0);
    ASSERT_EQ(sys.presentCount(), 2u);
    EXPECT_EQ(shown(1).timeMs - shown(0).timeMs, 38u);
}

TEST_F(AnimatorTest, EndAsFirstCommandShowsTheBackSurfaceOnce) {
    dx->back->ddSurface->fill(nullptr, 0x4321);
    dx->playAnimation(write(testzan::Bytes().header(4, 4, 0).end().data), 0, 0);
    ASSERT_EQ(sys.presentCount(), 1u);
    EXPECT_EQ(at(shown(0), 0, 0), 0x4321);
    EXPECT_EQ(at(shown(0), 639, 479), 0x4321);
}

TEST_F(AnimatorTest, FrameOfOnlyTheEndWordChangesNothingButTakesAPeriod) {
    dx->back->ddSurface->fill(nullptr, 0x0101);
    dx->front->ddSurface->fill(nullptr, 0x0101);
    auto file = testzan::Bytes().header(4, 4, 50).frame({0x8000}).frame({0x8000}).end();
    dx->playAnimation(write(file.data), 0, 0);
    ASSERT_EQ(sys.presentCount(), 3u);
    EXPECT_EQ(shown(1).hash, shown(0).hash);
    EXPECT_EQ(at(shown(1), 2, 2), 0x0101);
    EXPECT_EQ(shown(1).timeMs - shown(0).timeMs, 50u);
}

TEST_F(AnimatorTest, RunsSkipPixelsAndLineWordsMoveDown) {
    // Line word first: two lines down, then a run skipping 3 pixels.
    auto file = testzan::Bytes().header(8, 8, 0).frame({0xFFFE, 3, 2, 0x7C00, 0x001F, 0x8000});
    dx->playAnimation(write(file.end().data), 5, 5);
    const auto& f = shown(0);
    EXPECT_EQ(at(f, 8, 7), 0xF800);  // 5-5-5 red becomes 5-6-5 red
    EXPECT_EQ(at(f, 9, 7), 0x001F);  // blue stays
    EXPECT_EQ(at(f, 7, 7), 0);
    EXPECT_EQ(at(f, 10, 7), 0);
    EXPECT_EQ(at(f, 8, 5), 0);
}

TEST_F(AnimatorTest, TrailingLineSkipsMayReachTheBottomEdge) {
    // Placed on the screen's last four lines: a run on the last line and a
    // skip past it, then every line skipped one at a time.
    auto file = testzan::Bytes()
                    .header(4, 4, 0)
                    .frame({0xFFFD, 0, 1, 0x7C00, 0xFFFF, 0x8000})
                    .frame({0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0x8000})
                    .end();
    dx->playAnimation(write(file.data), 0, 476);
    ASSERT_EQ(sys.presentCount(), 3u);
    EXPECT_EQ(at(shown(0), 0, 479), 0xF800);
}

TEST_F(AnimatorTest, FramePeriodUpToFiveSecondsIsKept) {
    dx->playAnimation(write(testzan::Bytes().header(1, 1, 5000).frame({0x8000}).end().data), 0, 0);
    ASSERT_EQ(sys.presentCount(), 2u);
    EXPECT_EQ(shown(1).timeMs - shown(0).timeMs, 5000u);
}

TEST_F(AnimatorTest, StoredWhiteIsDrawnWithTheLowGreenBitClear) {
    auto file = testzan::Bytes().header(2, 1, 0).frame({0, 2, 0x7FFF, 0xFFFF, 0x8000}).end();
    dx->playAnimation(write(file.data), 0, 0);
    EXPECT_EQ(at(shown(0), 0, 0), 0xFFDF);
    EXPECT_EQ(at(shown(0), 1, 0), 0xFFDF);  // bit 15 carries no colour
}

TEST_F(AnimatorTest, EscapeHeldAtTheStartEndsBeforeTheFirstFrame) {
    zan::Encoder enc(4, 4, 0);
    enc.addFrame(plain(4, 4, 0x1111));
    sys.holdKey(DIK_ESCAPE, 0);
    dx->playAnimation(write(enc.finish()), 0, 0);
    EXPECT_EQ(sys.presentCount(), 0u);
}

class AnimatorWaitTest : public AnimatorTest {
  protected:
    // Two frames 76 ms apart with a wait command between them; returns the
    // time from the first present to the second.
    uint32_t gapWithWait(int32_t waitMs) {
        zan::Encoder enc(4, 4, 76);
        enc.addFrame(plain(4, 4, 0x1111));
        enc.addWait(waitMs);
        enc.addFrame(plain(4, 4, 0x2222));
        enc.addFrame(plain(4, 4, 0x3333));
        dx->playAnimation(write(enc.finish()), 0, 0);
        return shown(1).timeMs - shown(0).timeMs;
    }
};

TEST_F(AnimatorWaitTest, WaitCommandWaitsWholeFiftyMillisecondSteps) {
    EXPECT_EQ(gapWithWait(49), 76u);
    sys.clearFrames();
    EXPECT_EQ(gapWithWait(120), 76u + 100u);
}

TEST_F(AnimatorWaitTest, SpaceEndsAWaitAndTheAnimationGoesOn) {
    // Reads: 0 construction, 1 and 2 the player's, 3.. the wait's steps.
    sys.holdKey(DIK_SPACE, 5);
    EXPECT_EQ(gapWithWait(2000), 76u + 100u);
    EXPECT_EQ(sys.presentCount(), 4u);
    EXPECT_EQ(at(shown(2), 0, 0), 0x3333 & 0xFFDF);
}

TEST_F(AnimatorWaitTest, EscapeEndsTheWaitAndThenThePlayback) {
    sys.holdKey(DIK_ESCAPE, 5);
    EXPECT_EQ(gapWithWait(2000), 76u + 100u);
    // The frame after the wait is still drawn; the held Escape stops the next one.
    EXPECT_EQ(sys.presentCount(), 2u);
    EXPECT_EQ(at(shown(1), 0, 0), 0x2222 & 0xFFDF);
}

TEST_F(AnimatorTest, CommandsBetweenFramesRunInOneStep) {
    std::string wav = sound(100);
    auto file = testzan::Bytes()
                    .header(4, 4, 0)
                    .frame({0, 1, 0x0001, 0x8000})
                    .load(wav)
                    .load(wav)
                    .play(0, 1)
                    .wait(100)
                    .stop(1)
                    .frame({0, 1, 0x0002, 0x8000})
                    .end();
    Animator animator(dx.get(), write(file.data), 0);
    animator.process();
    EXPECT_EQ(animator.soundCount(), 0u);
    EXPECT_EQ(dx->back->ddSurface->getPixel(0, 0), 0x0001);
    uint64_t before = sys.totalSleptMs();
    animator.process();
    EXPECT_EQ(animator.soundCount(), 2u);
    EXPECT_EQ(sys.totalSleptMs() - before, 100u);
    EXPECT_EQ(dx->back->ddSurface->getPixel(0, 0), 0x0002);
    EXPECT_FALSE(animator.finished);
    animator.process();
    EXPECT_TRUE(animator.finished);
    animator.process();  // nothing open any more
    EXPECT_TRUE(animator.finished);
}

TEST_F(AnimatorTest, PlayFlagLowestByteChoosesLooping) {
    std::string wav = sound(100);
    auto once = testzan::Bytes().header(1, 1, 0).load(wav).play(0, 256).frame({0x8000}).end();
    Animator a(dx.get(), write(once.data, "once.zan"), 0);
    a.process();
    auto mix = sys.mixAudio(300);
    size_t heard = 0;
    for (size_t i = 0; i < mix.size(); i += 2) heard += mix[i] != 0;
    EXPECT_EQ(heard, 100u);

    auto looped = testzan::Bytes().header(1, 1, 0).load(wav).play(0, 1).frame({0x8000}).end();
    Animator b(dx.get(), write(looped.data, "loop.zan"), 0);
    b.process();
    mix = sys.mixAudio(300);
    heard = 0;
    for (size_t i = 0; i < mix.size(); i += 2) heard += mix[i] != 0;
    EXPECT_EQ(heard, 300u);
}

TEST_F(AnimatorTest, SoundsStopWithTheAnimator) {
    auto file = testzan::Bytes().header(1, 1, 0).load(sound(1000)).play(0, 1).frame({0x8000});
    {
        Animator a(dx.get(), write(file.end().data), 0);
        a.process();
    }
    auto mix = sys.mixAudio(100);
    for (int16_t v : mix) ASSERT_EQ(v, 0);
}

TEST_F(AnimatorTest, DisabledSoundIsNotStarted) {
    auto file = testzan::Bytes().header(1, 1, 0).load(sound(100)).play(0, 1).frame({0x8000});
    dx->soundEnabled = false;
    Animator a(dx.get(), write(file.end().data), 0);
    a.process();
    auto mix = sys.mixAudio(50);
    for (int16_t v : mix) ASSERT_EQ(v, 0);
}

// Each kind of damaged file ends the program with a message naming the file.
struct DamagedZan {
    const char* name;
    std::function<testzan::Bytes(const std::string& wav)> file;
    const char* pattern;
    int x = 0, y = 0;
};

testzan::Bytes zan(int32_t w, int32_t h) {
    return testzan::Bytes().header(w, h, 0);
}

const DamagedZan kDamaged[] = {
    {"TruncatedHeader", [](auto&) { return testzan::Bytes().i32(4).i32(4); },
     "Animator::open\\(\\): '.*bad.zan: file ends inside its header'"},
    {"NegativeSize", [](auto&) { return zan(-2, 4); }, "bad.zan: bad animation size -2x4"},
    {"HugeSize", [](auto&) { return zan(100000, 100000); },
     "bad.zan: bad animation size 100000x100000"},
    {"FramePeriodLongerThanFiveSeconds",
     [](auto&) { return testzan::Bytes().header(4, 4, 5001).end(); },
     "Animator::open\\(\\): '.*bad.zan: frame period 5001 ms is longer than 5000 ms'"},
    {"FileEndsBeforeItsEndCommand", [](auto&) { return zan(4, 4).frame({0x8000}); },
     "Animator::process\\(\\): '.*bad.zan: file ends before its end command'"},
    {"FileEndsInsideAWait", [](auto&) { return zan(4, 4).i32(2); },
     "bad.zan: file ends inside a wait"},
    {"FileEndsInsideALoad", [](auto&) { return zan(4, 4).i32(3).i32(0); },
     "bad.zan: file ends inside a load sound command"},
    {"FrameRunsPastTheEndOfTheFile", [](auto&) { return zan(4, 4).i32(1).i32(20).i32(0x80000000); },
     "bad.zan: frame runs past the end of the file"},
    {"NegativeFrameLength", [](auto&) { return zan(4, 4).i32(1).i32(-4); },
     "bad.zan: negative frame length -4"},
    // 2x1: (2+1)*(1+1) + 4*1 = 10 pixels, 20 bytes.
    {"FrameAsLongAsTheBuffer",
     [](auto&) {
         testzan::Bytes file = zan(2, 1).i32(1).i32(20);
         file.data.resize(file.data.size() + 20, 0);
         return file;
     },
     "Animator::process\\(\\): 'Frame size bigger than buffer!', error code: 0x00000014"},
    {"FrameWithoutItsEndWord",
     [](auto&) {
         return zan(4, 4).frame({0, 1, 0x1234}).end();
     },
     "bad.zan: frame has no end-of-frame word"},
    {"RunPastTheEndOfTheFrame",
     [](auto&) {
         return zan(4, 4).frame({0, 3, 0x1234}).end();
     },
     "bad.zan: run runs past the end of the frame"},
    {"SkipWithoutItsEndWord", [](auto&) { return zan(4, 4).frame({2}).end(); },
     "bad.zan: frame has no end-of-frame word"},
    {"RunThatLeavesTheRightEdge",
     [](auto&) {
         return zan(20, 1).frame(
             {0, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x8000});
     },
     "bad.zan: run leaves the surface", 630, 0},
    {"RunThatLeavesTheLeftEdge",
     [](auto&) {
         return zan(4, 4).frame({0, 1, 5, 0x8000}).end();
     },
     "bad.zan: run leaves the surface", -1, 0},
    {"SkipThatLeavesTheSurface",
     [](auto&) {
         return zan(4, 4).frame({0x7FFF, 1, 5, 0x8000}).end();
     },
     "bad.zan: run leaves the surface"},
    {"LineSkipThatLeavesTheSurface",
     [](auto&) {
         return zan(4, 4).frame({0xFFF0, 0x8000}).end();
     },
     "bad.zan: line skip leaves the surface", 0, 470},
    {"TwoLineSkipsThatLeaveTheSurface",
     [](auto&) {
         return zan(4, 4).frame({0xFFFF, 0xFFFF, 0x8000}).end();
     },
     "bad.zan: line skip leaves the surface", 0, 479},
    {"SoundNeverLoaded", [](auto& wav) { return zan(1, 1).load(wav).play(1, 0).end(); },
     "bad.zan: sound 1 was never loaded"},
    {"SoundNeverLoadedStopped", [](auto&) { return zan(1, 1).stop(-1).end(); },
     "bad.zan: sound -1 was never loaded"},
    {"SoundNameWithoutItsEnd",
     [](auto&) {
         testzan::Bytes file = zan(1, 1).i32(3);
         file.data.insert(file.data.end(), 256, 'a');
         return file.end();
     },
     "bad.zan: sound name has no end"},
};

class AnimatorDeathTest : public AnimatorTest, public ::testing::WithParamInterface<DamagedZan> {};

TEST_P(AnimatorDeathTest, EndsTheProgramNamingTheFile) {
    const DamagedZan& c = GetParam();
    const std::string path = write(c.file(sound(10)).data, "bad.zan");
    EXPECT_EXIT(dx->playAnimation(path, c.x, c.y), ::testing::ExitedWithCode(255), c.pattern);
}

INSTANTIATE_TEST_SUITE_P(Damaged, AnimatorDeathTest, ::testing::ValuesIn(kDamaged),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
