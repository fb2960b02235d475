#include <gtest/gtest.h>

#include <cstdlib>

#include "support/generated_data.h"

using namespace generated_data;

namespace {

class GeneratedSoundsTest : public GeneratedDataFixture {
  protected:
    // Mono or first-channel samples of a canonical WAV.
    std::vector<int> samplesOf(const std::vector<uint8_t>& wav) {
        std::vector<int> out;
        const int channels = le16(wav, 22);
        for (size_t at = 44; at + 1 < wav.size(); at += 2 * size_t(channels)) {
            out.push_back(int16_t(le16(wav, at)));
        }
        return out;
    }
    static double meanStep(const std::vector<int>& s) {
        double sum = 0;
        for (size_t i = 1; i < s.size(); ++i) sum += std::abs(s[i] - s[i - 1]);
        return sum / double(s.size() - 1);
    }
};

const char* const kSounds[] = {"sfx/rot5loo1.wav",      "sfx/engnxplo.wav",   "sfx/ovrevlp1.wav",
                               "sfx/bmbwstl2.wav",      "sfx/splash.wav",     "sfx/planesplash.wav",
                               "sfx/spanloo.wav",       "sfx/cannonfire.wav", "sfx/warningbeep.wav",
                               "sfx/sunshineDance.wav", "sfx/interaction.wav"};

TEST_F(GeneratedSoundsTest, EveryWavHasTheCanonicalHeader) {
    for (const char* name : kSounds) {
        std::vector<uint8_t> wav = bytesOf(name);
        ASSERT_GT(wav.size(), 44u) << name;
        EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF") << name;
        EXPECT_EQ(le32(wav, 4), wav.size() - 8) << name;
        EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ") << name;
        EXPECT_EQ(le32(wav, 16), 16u) << name;
        EXPECT_EQ(le16(wav, 20), 1) << name;  // PCM
        const int channels = le16(wav, 22);
        EXPECT_TRUE(channels == 1 || channels == 2) << name;
        // The falling scream is stored slower so that the game can raise it;
        // the click an octave below the 22000 Hz the menu plays its start
        // click at, so that starting a match sounds unlike the other clicks.
        const uint32_t rate = std::string(name) == "sfx/ovrevlp1.wav"      ? 16000u
                              : std::string(name) == "sfx/warningbeep.wav" ? 11025u
                                                                           : 22050u;
        EXPECT_EQ(le32(wav, 24), rate) << name;
        EXPECT_EQ(le16(wav, 32), channels * 2) << name;
        EXPECT_EQ(le32(wav, 28), rate * channels * 2) << name;
        EXPECT_EQ(le16(wav, 34), 16) << name;
        EXPECT_EQ(std::string(wav.begin() + 36, wav.begin() + 40), "data") << name;
        EXPECT_EQ(le32(wav, 40), wav.size() - 44) << name;
    }
}

TEST_F(GeneratedSoundsTest, LoopsJoinWithoutAClick) {
    for (const char* name : {"sfx/rot5loo1.wav", "sfx/ovrevlp1.wav", "sfx/sunshineDance.wav"}) {
        std::vector<int> s = samplesOf(bytesOf(name));
        ASSERT_GT(s.size(), 1000u) << name;
        // Going from the last sample to the first is no bigger a jump than the sound makes
        // between neighbours anyway.
        EXPECT_LE(std::abs(s.front() - s.back()), 3 * meanStep(s) + 64) << name;
    }
}

TEST_F(GeneratedSoundsTest, OneShotSoundsFadeOutAndAreNotSilent) {
    for (const char* name :
         {"sfx/engnxplo.wav", "sfx/bmbwstl2.wav", "sfx/splash.wav", "sfx/planesplash.wav",
          "sfx/spanloo.wav", "sfx/cannonfire.wav", "sfx/warningbeep.wav", "sfx/interaction.wav"}) {
        std::vector<int> s = samplesOf(bytesOf(name));
        int peak = 0;
        for (int v : s) peak = std::max(peak, std::abs(v));
        EXPECT_GT(peak, 8000) << name;
        EXPECT_LT(std::abs(s.back()), 1000) << name << " ends with a click";
    }
}

TEST_F(GeneratedSoundsTest, TheTuneLastsHalfAMinuteAndStaysInRange) {
    std::vector<uint8_t> wav = bytesOf("sfx/sunshineDance.wav");
    const double seconds = double(le32(wav, 40)) / le32(wav, 28);
    EXPECT_GE(seconds, 30.0);
    EXPECT_LT(seconds, 60.0);
    std::vector<int> s = samplesOf(wav);
    int clipped = 0;
    for (int v : s) clipped += v >= 32767 || v <= -32767;
    EXPECT_EQ(clipped, 0);
}

// The intro: a 12-byte header and a command stream, walked with bounds checks.
TEST_F(GeneratedSoundsTest, IntroLoadsAndPlaysOneSoundOverThreeToSixSeconds) {
    std::vector<uint8_t> zan = bytesOf("gfx/interaction.zan");
    ASSERT_GE(zan.size(), 16u);
    EXPECT_EQ(le32(zan, 0), 640u);
    EXPECT_EQ(le32(zan, 4), 480u);
    const int period = int(le32(zan, 8)) == 0 ? 38 : int(le32(zan, 8));
    size_t at = 12;
    int frames = 0, waits = 0, loaded = 0, played = 0;
    bool ended = false;
    while (!ended && at + 4 <= zan.size()) {
        uint32_t code = le32(zan, at);
        at += 4;
        switch (code) {
            case 0:
                ended = true;
                break;
            case 1: {
                ASSERT_LE(at + 4, zan.size());
                uint32_t length = le32(zan, at);
                ASSERT_LE(at + 4 + length, zan.size())
                    << "frame " << frames << " runs past the end";
                // A frame's data ends on its end-of-frame word.
                EXPECT_EQ(le16(zan, at + 4 + length - 2), 0x8000) << "frame " << frames;
                at += 4 + length;
                ++frames;
                break;
            }
            case 2:
                waits += int(le32(zan, at));
                at += 4;
                break;
            case 3: {
                ASSERT_LE(at + 256, zan.size());
                std::string name(reinterpret_cast<const char*>(&zan[at]));
                EXPECT_TRUE(files().fileExists(name)) << name;
                ++loaded;
                at += 256;
                break;
            }
            case 4:
                EXPECT_LT(int(le32(zan, at)), loaded);
                ++played;
                at += 8;
                break;
            case 5:
                at += 4;
                break;
            default:
                FAIL() << "unknown command " << code;
        }
    }
    EXPECT_TRUE(ended);
    EXPECT_EQ(loaded, 1);
    EXPECT_EQ(played, 1);
    const double seconds = (frames * period + waits) / 1000.0;
    EXPECT_GE(seconds, 3.0);
    EXPECT_LE(seconds, 6.0);
}

}  // namespace
