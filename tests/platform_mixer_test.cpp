#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/mixer.h"

using platform::Mixer;
using platform::PcmFormat;

namespace {

constexpr int kRate = 22050;

class MixerTest : public ::testing::Test {
  protected:
    MixerTest() : mixer(kRate) {}

    // 16-bit voice from samples (interleaved when stereo).
    int voice16(const std::vector<int16_t>& s, int channels, int rate = kRate) {
        PcmFormat f;
        f.channels = channels;
        f.bitsPerSample = 16;
        f.samplesPerSecond = rate;
        std::vector<uint8_t> bytes;
        for (int16_t v : s) {
            bytes.push_back(uint8_t(v & 0xFF));
            bytes.push_back(uint8_t(uint16_t(v) >> 8));
        }
        return mixer.createVoice(f, bytes.data(), bytes.size());
    }
    std::vector<int16_t> mix(size_t frames) {
        std::vector<int16_t> out(frames * 2, 0x5555);
        mixer.mix(out.data(), frames);
        return out;
    }
    // Output frames until the voice stops (at most `limit`).
    size_t framesUntilStopped(int id, size_t limit) {
        size_t n = 0;
        while (mixer.isPlaying(id) && n < limit) {
            mix(1);
            ++n;
        }
        return n;
    }
    Mixer mixer;
};

TEST_F(MixerTest, SilenceWhenNothingPlays) {
    voice16({1000, 1000}, 1);
    EXPECT_EQ(mix(300), std::vector<int16_t>(600, 0));  // also covers more than one chunk
}

TEST_F(MixerTest, EightBitMonoIsCentredAndGoesToBothChannels) {
    PcmFormat f;
    f.channels = 1;
    f.bitsPerSample = 8;
    f.samplesPerSecond = kRate;
    const uint8_t data[4] = {128, 255, 0, 192};
    const int id = mixer.createVoice(f, data, 4);
    ASSERT_GE(id, 0);
    mixer.play(id, false);
    auto out = mix(4);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[2], 127 << 8);
    EXPECT_EQ(out[3], 127 << 8);
    EXPECT_EQ(out[4], -32768);
    EXPECT_EQ(out[6], 64 << 8);
    EXPECT_EQ(out[7], 64 << 8);
}

TEST_F(MixerTest, SixteenBitStereoKeepsItsChannels) {
    const int id = voice16({100, -200, 300, -400}, 2);
    mixer.play(id, false);
    auto out = mix(3);
    EXPECT_EQ(out[0], 100);
    EXPECT_EQ(out[1], -200);
    EXPECT_EQ(out[2], 300);
    EXPECT_EQ(out[3], -400);
    EXPECT_EQ(out[4], 0);  // finished after its two frames
    EXPECT_FALSE(mixer.isPlaying(id));
}

TEST_F(MixerTest, PanAttenuatesTheOppositeChannel) {
    const int id = voice16(std::vector<int16_t>(64, 10000), 1);
    mixer.play(id, true);
    auto centred = mix(4);
    EXPECT_EQ(centred[0], centred[1]);
    EXPECT_EQ(centred[0], 10000);

    mixer.setPan(id, -10000);
    auto left = mix(4);
    EXPECT_EQ(left[0], 10000);
    EXPECT_EQ(left[1], 0);

    mixer.setPan(id, 600);  // 6 dB down on the left: about half
    auto right = mix(4);
    EXPECT_EQ(right[1], 10000);
    EXPECT_NEAR(right[0], 5012, 2);

    mixer.setPan(id, 99999);  // clamped to the right only
    auto clamped = mix(4);
    EXPECT_EQ(clamped[0], 0);
    EXPECT_EQ(clamped[1], 10000);
}

TEST_F(MixerTest, FrequencyChangesTheDuration) {
    const int id = voice16(std::vector<int16_t>(1000, 1), 1);
    EXPECT_EQ(mixer.getFrequency(id), uint32_t(kRate));
    mixer.play(id, false);
    EXPECT_EQ(framesUntilStopped(id, 5000), 1000u);

    mixer.setFrequency(id, 2 * kRate);
    EXPECT_EQ(mixer.getFrequency(id), uint32_t(2 * kRate));
    mixer.play(id, false);
    EXPECT_EQ(framesUntilStopped(id, 5000), 500u);

    mixer.setFrequency(id, 0);  // back to the file's own rate
    EXPECT_EQ(mixer.getFrequency(id), uint32_t(kRate));
}

TEST_F(MixerTest, FileRateIsResampledToTheOutputRate) {
    const int id = voice16(std::vector<int16_t>(1102, 1), 1, 11025);
    mixer.play(id, false);
    EXPECT_EQ(framesUntilStopped(id, 5000), 2204u);
}

TEST_F(MixerTest, HalfSpeedInterpolatesLinearly) {
    const int id = voice16({0, 1000, 2000, 3000}, 1);
    mixer.setFrequency(id, kRate / 2);
    mixer.play(id, false);
    auto out = mix(4);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2], 500);
    EXPECT_EQ(out[4], 1000);
    EXPECT_EQ(out[6], 1500);
}

TEST_F(MixerTest, LoopWrapsSeamlessly) {
    // A ramp 0, 100, ..., 700 looped at 1.5 times its rate: the step over the
    // seam interpolates between the last frame and the first.
    std::vector<int16_t> ramp;
    for (int i = 0; i < 8; ++i) ramp.push_back(int16_t(i * 100));
    const int id = voice16(ramp, 1);
    mixer.setFrequency(id, kRate * 3 / 2);
    mixer.play(id, true);
    auto out = mix(40);
    EXPECT_TRUE(mixer.isPlaying(id));
    for (size_t i = 0; i < 40; ++i) {
        const double pos = std::fmod(i * 1.5, 8.0);
        const int i0 = int(pos), i1 = (i0 + 1) % 8;
        const double expected = ramp[i0] + (ramp[i1] - ramp[i0]) * (pos - i0);
        EXPECT_NEAR(out[2 * i], expected, 1.0) << "frame " << i;
    }
}

TEST_F(MixerTest, StopKeepsThePositionAndSetPositionRestarts) {
    const int id = voice16({1, 2, 3, 4, 5, 6, 7, 8}, 1);
    mixer.play(id, false);
    mix(3);
    mixer.stop(id);
    EXPECT_FALSE(mixer.isPlaying(id));
    EXPECT_EQ(mix(2)[0], 0);
    mixer.play(id, false);
    EXPECT_EQ(mix(1)[0], 4);  // carries on where it stopped
    mixer.stop(id);
    mixer.setPosition(id, 0);
    mixer.play(id, false);
    EXPECT_EQ(mix(1)[0], 1);
    mixer.setPosition(id, 10);  // bytes: frame 5
    EXPECT_EQ(mix(1)[0], 6);
    mixer.setPosition(id, 1000);  // past the end: refused
    EXPECT_EQ(mix(1)[0], 7);
}

TEST_F(MixerTest, FinishedOneShotPlaysWholeAgain) {
    const int id = voice16({5, 6}, 1);
    mixer.play(id, false);
    mix(4);
    EXPECT_FALSE(mixer.isPlaying(id));
    mixer.play(id, false);
    EXPECT_EQ(mix(1)[0], 5);
}

TEST_F(MixerTest, VoicesAddUpAndSaturate) {
    const int a = voice16(std::vector<int16_t>(4, 30000), 1);
    const int b = voice16(std::vector<int16_t>(4, 10000), 1);
    const int c = voice16(std::vector<int16_t>(4, -32768), 1);
    mixer.play(a, false);
    mixer.play(b, false);
    EXPECT_EQ(mix(1)[0], 32767);
    mixer.stop(a);
    mixer.stop(b);
    mixer.play(c, false);
    mixer.play(c + 1000, false);  // unknown voice: ignored
    EXPECT_EQ(mix(1)[1], -32768);
}

TEST_F(MixerTest, BadFormatsAndDestroyedVoices) {
    PcmFormat f;
    f.channels = 3;
    const uint8_t data[12] = {};
    EXPECT_EQ(mixer.createVoice(f, data, 12), -1);
    f.channels = 2;
    f.bitsPerSample = 24;
    EXPECT_EQ(mixer.createVoice(f, data, 12), -1);
    f.bitsPerSample = 16;
    f.samplesPerSecond = 0;
    EXPECT_EQ(mixer.createVoice(f, data, 12), -1);

    const int a = voice16({1, 1}, 1);
    mixer.destroyVoice(a);
    const int b = voice16({2, 2}, 1);
    EXPECT_NE(a, b);  // ids are not reused
    mixer.play(a, true);
    EXPECT_FALSE(mixer.isPlaying(a));
    EXPECT_EQ(mixer.getFrequency(a), 0u);

    // An empty sound or an odd trailing byte is not a crash.
    const int empty = voice16({}, 2);
    mixer.play(empty, true);
    EXPECT_FALSE(mixer.isPlaying(empty));
    PcmFormat odd;
    odd.channels = 2;
    const int oddId = mixer.createVoice(odd, data, 7);  // one whole frame and three bytes
    mixer.play(oddId, true);
    mix(10);
}

}  // namespace
