// WAV files as other tools write them: extra chunks before the samples,
// longer "fmt " chunks, streamed sizes, cut-off files, formats we refuse.
#include <gtest/gtest.h>

#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "services/sound.h"
#include "services/wav_file.h"
#include "services/zef_sound.h"
#include "sound_wav_writer.h"

namespace {

using testwav::Chunk;

// The bytes of a string literal, NULs included, without its final NUL.
template <size_t N>
std::vector<uint8_t> text(const char (&s)[N]) {
    return std::vector<uint8_t>(s, s + N - 1);
}

// 1..100 times 100: every sample distinct and none silent.
std::vector<uint8_t> ramp() {
    std::vector<int16_t> values;
    for (int i = 0; i < 100; ++i) values.push_back(int16_t(100 * (i + 1)));
    return testwav::pcm16(values);
}

class WavChunksTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dx = std::make_unique<ZefDX>(&sys, true, 640, 480, 16);
        dx->warnSink = [](const std::string& line, void* context) {
            static_cast<std::vector<std::string>*>(context)->push_back(line);
        };
        dx->warnContext = &warnings;
        dx->createSound();
    }
    std::unique_ptr<Sound> load(const std::vector<uint8_t>& bytes) {
        testwav::writeFile(dir.file("s.wav"), bytes);
        return std::make_unique<Sound>(dx.get(), dir.file("s.wav"));
    }
    // The left channel of `frames` mixed frames.
    std::vector<int16_t> played(size_t frames) {
        std::vector<int16_t> mix = sys.mixAudio(frames), left;
        for (size_t i = 0; i < mix.size(); i += 2) left.push_back(mix[i]);
        return left;
    }
    static std::vector<int16_t> expectedRamp() {
        std::vector<int16_t> out;
        for (int i = 0; i < 100; ++i) out.push_back(int16_t(100 * (i + 1)));
        return out;
    }

    testwav::TempDir dir;
    platform::HeadlessSystem sys;
    std::unique_ptr<ZefDX> dx;
    std::vector<std::string> warnings;
};

TEST_F(WavChunksTest, OtherChunksAndLongerFormatsPlayTheSamples) {
    const testwav::Header h;
    // ffmpeg's LIST of odd length (with its pad byte), a fact and a bext chunk.
    const Chunk list{"LIST", text("INFOISFT\x0e\0\0\0Lavf60.3.100\0")};
    ASSERT_EQ(list.body.size() % 2, 1u);
    const Chunk fact{"fact", {100, 0, 0, 0}};
    const Chunk bext{"bext", std::vector<uint8_t>(602, 'b')};
    for (size_t fmtSize : {16, 18, 40}) {
        for (const Chunk& extra : {list, fact, bext}) {
            SCOPED_TRACE("fmt " + std::to_string(fmtSize) + ", " + extra.id);
            auto sound = load(testwav::riff({{"fmt ", testwav::fmtBody(h, fmtSize)},
                                             extra,
                                             {"data", ramp()},
                                             {"LIST", text("after")}}));
            ASSERT_EQ(sound->dataSize(), 200u);
            sound->play(false);
            std::vector<int16_t> out = played(120);
            EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 100), expectedRamp());
            EXPECT_EQ(out[100], 0);
            sound->stop();
        }
    }
    // Chunks before "fmt " are skipped too.
    EXPECT_EQ(
        load(testwav::riff({list, {"fmt ", testwav::fmtBody(h)}, {"data", ramp()}}))->dataSize(),
        200u);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(WavChunksTest, SizesPastTheEndPlayWhatIsThereThenSilenceWithOneWarning) {
    const testwav::Header h;
    // Streamed output, and a file cut off in its samples.
    for (uint32_t size : {0x7FFFF000u, 0xFFFFFFFFu, 400u}) {
        warnings.clear();
        auto sound = load(testwav::riff({{"fmt ", testwav::fmtBody(h)}, {"data", ramp(), size}}));
        ASSERT_EQ(sound->dataSize(), 200u);
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings[0], dir.file("s.wav") + ": data size " + std::to_string(size) +
                                   " runs past the end of the file; playing the 200 bytes there");
        sound->play(false);
        std::vector<int16_t> out = played(300);
        EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 100), expectedRamp());
        EXPECT_EQ(std::vector<int16_t>(out.begin() + 100, out.end()), std::vector<int16_t>(200, 0));
        sound->stop();
    }
}

TEST_F(WavChunksTest, WarningGoesToStandardErrorWithoutASink) {
    dx->warnSink = nullptr;
    ::testing::internal::CaptureStderr();
    load(testwav::riff({{"fmt ", testwav::fmtBody({})}, {"data", ramp(), 0xFFFFFFFF}}));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "kestova: warning: " + dir.file("s.wav") +
                  ": data size 4294967295 runs past the end of the file; playing the 200 bytes "
                  "there\n");
}

TEST(WavRefusalTest, EachRefusalSaysWhatTheFileIs) {
    auto refusal = [](const std::vector<uint8_t>& file) {
        WavLayout wav;
        std::string error;
        EXPECT_FALSE(parseWav(file.data(), file.size(), wav, error));
        return error;
    };
    testwav::Header h24;
    h24.blockAlign = 6;
    h24.channels = 2;
    h24.bitsField = 24;
    EXPECT_EQ(refusal(testwav::build(h24, ramp())), "24-bit samples are not supported");
    testwav::Header floats;
    floats.formatTag = 3;
    floats.blockAlign = 4;
    EXPECT_EQ(refusal(testwav::riff({{"fmt ", testwav::fmtBody(floats, 18)}, {"data", ramp()}})),
              "format tag 3 (floating point) is not supported");
    EXPECT_EQ(refusal(testwav::riff({{"fmt ", testwav::fmtBody(floats, 40)}, {"data", ramp()}})),
              "format tag 3 (floating point) is not supported");
    std::vector<uint8_t> oddGuid = testwav::fmtBody({}, 40);
    oddGuid[39] ^= 1;
    EXPECT_EQ(refusal(testwav::riff({{"fmt ", oddGuid}, {"data", ramp()}})),
              "extensible format with an unknown sub-format is not supported");
    testwav::Header adpcm;
    adpcm.formatTag = 0x11;
    EXPECT_EQ(refusal(testwav::build(adpcm, ramp())), "format tag 17 (IMA ADPCM) is not supported");
    testwav::Header odd;
    odd.formatTag = 0x1234;
    EXPECT_EQ(refusal(testwav::build(odd, ramp())), "format tag 4660 is not supported");

    testwav::Header h;
    std::vector<uint8_t> shortFmt = testwav::fmtBody(h);
    shortFmt.resize(14);
    EXPECT_EQ(refusal(testwav::riff({{"fmt ", shortFmt}, {"data", ramp()}})),
              "\"fmt \" chunk of 14 bytes is too short");
    EXPECT_EQ(refusal(testwav::riff({{"fmt ", testwav::fmtBody(h, 18)}})), "no \"data\" chunk");
    EXPECT_EQ(refusal(testwav::riff({{"data", ramp()}})), "no \"fmt \" chunk");
    // A chunk to skip that is cut off hides whatever would follow it.
    EXPECT_EQ(refusal(testwav::riff({{"fmt ", testwav::fmtBody(h)}, {"LIST", {1, 2}, 900}})),
              "no \"data\" chunk");
    std::vector<uint8_t> rifx = testwav::build(h, ramp());
    rifx[3] = 'X';
    EXPECT_EQ(refusal(rifx), "not a RIFF WAVE file");
    EXPECT_EQ(refusal({'R', 'I', 'F', 'F'}), "file is shorter than a WAV header");
}

}  // namespace
