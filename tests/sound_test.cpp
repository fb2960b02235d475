#include "services/sound.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "services/zef_sound.h"
#include "support/sound_fixture.h"

namespace {

class SoundTest : public kit::SoundFixture {
  protected:
    // A sound from a WAV file written on the spot.
    std::unique_ptr<Sound> load(const kit::WavHeader& header, const std::vector<uint8_t>& data,
                                const std::string& name = "s.wav") {
        return SoundFixture::load(kit::wav(header, data), name);
    }

    // A 16-bit mono sound of the given sample values at 22050 Hz, the output rate.
    std::unique_ptr<Sound> mono16(const std::vector<int16_t>& values) {
        return load(kit::WavHeader{}, kit::pcm16(values));
    }

    static size_t nonZero(const std::vector<int16_t>& channel) {
        return size_t(std::count_if(channel.begin(), channel.end(), [](int16_t v) { return v; }));
    }
};

TEST_F(SoundTest, LogsTheLoadWithTheDataSize) {
    auto sound = mono16(std::vector<int16_t>(5120, 0));
    ASSERT_TRUE(sound->loaded());
    EXPECT_EQ(logLines.front(), "Creating ZefSound object...");
    EXPECT_EQ(logLines.back(), "Loading sound file [" + dir.file("s.wav") + "], 10240 bytes .");
}

TEST_F(SoundTest, EightBitMonoPlaysOnBothChannels) {
    kit::WavHeader h;
    h.blockAlign = 1;
    h.bitsField = 8;
    auto sound = load(h, std::vector<uint8_t>(200, 0xC0));
    EXPECT_EQ(sound->format().bitsPerSample, 8);
    sound->play(false);
    auto mix = sys.mixAudio(300);
    EXPECT_EQ(mix[0], 16384);  // unsigned 0xC0 is +64 of 128
    EXPECT_EQ(mix[1], 16384);
    EXPECT_EQ(nonZero(left(mix)), 200u);
}

TEST_F(SoundTest, BitsComeFromBlockAlignNotTheHeaderField) {
    kit::WavHeader h;
    h.bitsField = 8;  // wrong: two bytes per mono sample
    auto sound = load(h, kit::pcm16({3000, 3000, 3000}));
    EXPECT_EQ(sound->format().bitsPerSample, 16);
    sound->play(false);
    EXPECT_EQ(sys.mixAudio(1)[0], 3000);

    kit::WavHeader stereo;
    stereo.channels = 2;
    stereo.blockAlign = 4;
    auto pair = load(stereo, kit::pcm16({1000, -2000}), "stereo.wav");
    EXPECT_EQ(pair->format().channels, 2);
    EXPECT_EQ(pair->format().bitsPerSample, 16);
}

TEST_F(SoundTest, FrequencyZeroRestoresTheFileRate) {
    kit::WavHeader h;
    h.rate = 11025;
    auto sound = load(h, kit::pcm16({1, 2, 3, 4}));
    uint32_t hz = 0;
    sound->getFrequency(hz);
    EXPECT_EQ(hz, 11025u);
    sound->setFrequency(30000);
    sound->getFrequency(hz);
    EXPECT_EQ(hz, 30000u);
    sound->setFrequency(0);
    sound->getFrequency(hz);
    EXPECT_EQ(hz, 11025u);
}

TEST_F(SoundTest, SoundStartedWhilePlayingRestartsFromTheBeginning) {
    auto values = kit::ramp();
    auto sound = mono16(values);
    sound->play(false);
    sys.mixAudio(40);
    sound->stop();
    sound->rewind();
    sound->play(false);
    auto out = left(sys.mixAudio(120));
    EXPECT_EQ(out[0], values[0]);
    EXPECT_EQ(nonZero(out), 100u);  // one whole play, not two overlapping
}

TEST_F(SoundTest, NothingPlaysWhileSoundIsDisabled) {
    auto sound = mono16(kit::ramp());
    dx->soundEnabled = false;
    sound->play(false);
    EXPECT_EQ(nonZero(left(sys.mixAudio(50))), 0u);
    uint32_t hz = 1234;
    sound->getFrequency(hz);
    EXPECT_EQ(hz, 1234u);
}

class SoundWithoutDeviceTest : public SoundTest {
  protected:
    void SetUp() override { start(false); }
};

TEST_F(SoundWithoutDeviceTest, ReportsOnceAndStaysSilent) {
    ASSERT_EQ(sys.messageBoxes().size(), 1u);
    EXPECT_EQ(sys.messageBoxes()[0].rfind(
                  "ZefDX Error\nFunction ZefSound::ZefSound(): 'Cannot create DirectSound object. "
                  "Continuing without sound.', error code: 0x",
                  0),
              0u);
    EXPECT_EQ(dx->sound->device, nullptr);

    auto a = mono16(kit::ramp());
    auto b = mono16(kit::ramp());
    EXPECT_FALSE(a->loaded());
    EXPECT_EQ(std::count(logLines.begin(), logLines.end(),
                         "Warning: DirectSound object not available, skipping sound load"),
              2);
    a->setPan(-10000);
    a->setFrequency(44100);
    a->play(true);
    a->stop();
    a->rewind();
    uint32_t hz = 77;
    a->getFrequency(hz);
    EXPECT_EQ(hz, 77u);
    EXPECT_EQ(sys.messageBoxes().size(), 1u);
}

using SoundDeathTest = SoundTest;

TEST_F(SoundDeathTest, DamagedHeadersAreRefusedWithTheFileName) {
    kit::WavHeader floatFormat;
    floatFormat.formatTag = 3;
    EXPECT_EXIT(
        load(floatFormat, kit::pcm16({1, 2})), ::testing::ExitedWithCode(255),
        "Sound::Sound\\(\\): '.*s.wav: format tag 3 \\(floating point\\) is not supported'");

    kit::WavHeader noChannels;
    noChannels.channels = 0;
    EXPECT_EXIT(load(noChannels, kit::pcm16({1, 2})), ::testing::ExitedWithCode(255),
                "s.wav: 0 channels are not supported");

    kit::WavHeader noBlockAlign;
    noBlockAlign.blockAlign = 0;
    EXPECT_EXIT(load(noBlockAlign, kit::pcm16({1, 2})), ::testing::ExitedWithCode(255),
                "s.wav: block align 0 holds no whole sample");

    kit::WavHeader noRate;
    noRate.rate = 0;
    EXPECT_EXIT(load(noRate, kit::pcm16({1, 2})), ::testing::ExitedWithCode(255),
                "s.wav: sample rate 0 is not supported");
}

TEST_F(SoundDeathTest, FileShorterThanAHeaderIsRefused) {
    kit::writeFile(dir.file("short.wav"), kit::Bytes{'R', 'I', 'F', 'F', 0, 0});
    EXPECT_EXIT(Sound(dx.get(), dir.file("short.wav")), ::testing::ExitedWithCode(255),
                "short.wav: file is shorter than a WAV header");
}

}  // namespace
