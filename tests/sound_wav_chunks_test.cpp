// WAV files as other tools write them: extra chunks before the samples,
// longer "fmt " chunks, streamed sizes, cut-off files, formats we refuse.
#include <gtest/gtest.h>

#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "services/sound.h"
#include "services/wav_file.h"
#include "services/zef_sound.h"
#include "support/sound_fixture.h"

namespace {

using kit::Chunk;

// The bytes of a string literal, NULs included, without its final NUL.
template <size_t N>
std::vector<uint8_t> text(const char (&s)[N]) {
    return std::vector<uint8_t>(s, s + N - 1);
}

std::vector<uint8_t> ramp() {
    return kit::pcm16(kit::ramp());
}

class WavChunksTest : public kit::SoundFixture {};

TEST_F(WavChunksTest, OtherChunksAndLongerFormatsPlayTheSamples) {
    const kit::WavHeader h;
    // ffmpeg's LIST of odd length (with its pad byte), a fact and a bext chunk.
    const Chunk list{"LIST", text("INFOISFT\x0e\0\0\0Lavf60.3.100\0")};
    ASSERT_EQ(list.body.size() % 2, 1u);
    const Chunk fact{"fact", {100, 0, 0, 0}};
    const Chunk bext{"bext", std::vector<uint8_t>(602, 'b')};
    for (size_t fmtSize : {16, 18, 40}) {
        for (const Chunk& extra : {list, fact, bext}) {
            SCOPED_TRACE("fmt " + std::to_string(fmtSize) + ", " + extra.id);
            auto sound = load(kit::riff({{"fmt ", kit::fmtBody(h, fmtSize)},
                                         extra,
                                         {"data", ramp()},
                                         {"LIST", text("after")}}));
            ASSERT_EQ(sound->dataSize(), 200u);
            sound->play(false);
            std::vector<int16_t> out = played(120);
            EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 100), kit::ramp());
            EXPECT_EQ(out[100], 0);
            sound->stop();
        }
    }
    // Chunks before "fmt " are skipped too.
    EXPECT_EQ(load(kit::riff({list, {"fmt ", kit::fmtBody(h)}, {"data", ramp()}}))->dataSize(),
              200u);
    EXPECT_TRUE(warnings.empty());
}

TEST_F(WavChunksTest, SizesPastTheEndPlayWhatIsThereThenSilenceWithOneWarning) {
    const kit::WavHeader h;
    // Streamed output, and a file cut off in its samples.
    for (uint32_t size : {0x7FFFF000u, 0xFFFFFFFFu, 400u}) {
        warnings.clear();
        auto sound = load(kit::riff({{"fmt ", kit::fmtBody(h)}, {"data", ramp(), size}}));
        ASSERT_EQ(sound->dataSize(), 200u);
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings[0], dir.file("s.wav") + ": data size " + std::to_string(size) +
                                   " runs past the end of the file; playing the 200 bytes there");
        sound->play(false);
        std::vector<int16_t> out = played(300);
        EXPECT_EQ(std::vector<int16_t>(out.begin(), out.begin() + 100), kit::ramp());
        EXPECT_EQ(std::vector<int16_t>(out.begin() + 100, out.end()), std::vector<int16_t>(200, 0));
        sound->stop();
    }
}

TEST_F(WavChunksTest, WarningGoesToStandardErrorWithoutASink) {
    dx->warnSink = nullptr;
    ::testing::internal::CaptureStderr();
    load(kit::riff({{"fmt ", kit::fmtBody({})}, {"data", ramp(), 0xFFFFFFFF}}));
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
    kit::WavHeader h24;
    h24.blockAlign = 6;
    h24.channels = 2;
    h24.bitsField = 24;
    EXPECT_EQ(refusal(kit::wav(h24, ramp())), "24-bit samples are not supported");
    kit::WavHeader floats;
    floats.formatTag = 3;
    floats.blockAlign = 4;
    EXPECT_EQ(refusal(kit::riff({{"fmt ", kit::fmtBody(floats, 18)}, {"data", ramp()}})),
              "format tag 3 (floating point) is not supported");
    EXPECT_EQ(refusal(kit::riff({{"fmt ", kit::fmtBody(floats, 40)}, {"data", ramp()}})),
              "format tag 3 (floating point) is not supported");
    std::vector<uint8_t> oddGuid = kit::fmtBody({}, 40);
    oddGuid[39] ^= 1;
    EXPECT_EQ(refusal(kit::riff({{"fmt ", oddGuid}, {"data", ramp()}})),
              "extensible format with an unknown sub-format is not supported");
    kit::WavHeader adpcm;
    adpcm.formatTag = 0x11;
    EXPECT_EQ(refusal(kit::wav(adpcm, ramp())), "format tag 17 (IMA ADPCM) is not supported");
    kit::WavHeader odd;
    odd.formatTag = 0x1234;
    EXPECT_EQ(refusal(kit::wav(odd, ramp())), "format tag 4660 is not supported");

    kit::WavHeader h;
    std::vector<uint8_t> shortFmt = kit::fmtBody(h);
    shortFmt.resize(14);
    EXPECT_EQ(refusal(kit::riff({{"fmt ", shortFmt}, {"data", ramp()}})),
              "\"fmt \" chunk of 14 bytes is too short");
    EXPECT_EQ(refusal(kit::riff({{"fmt ", kit::fmtBody(h, 18)}})), "no \"data\" chunk");
    EXPECT_EQ(refusal(kit::riff({{"data", ramp()}})), "no \"fmt \" chunk");
    // A chunk to skip that is cut off hides whatever would follow it.
    EXPECT_EQ(refusal(kit::riff({{"fmt ", kit::fmtBody(h)}, {"LIST", {1, 2}, 900}})),
              "no \"data\" chunk");
    // A chunk header cut off after its name is no chunk.
    std::vector<uint8_t> cutHeader = kit::riff({{"fmt ", kit::fmtBody(h)}});
    cutHeader.insert(cutHeader.end(), {'d', 'a', 't', 'a'});
    EXPECT_EQ(refusal(cutHeader), "no \"data\" chunk");
    std::vector<uint8_t> rifx = kit::wav(h, ramp());
    rifx[3] = 'X';
    EXPECT_EQ(refusal(rifx), "not a RIFF WAVE file");
    EXPECT_EQ(refusal({'R', 'I', 'F', 'F'}), "file is shorter than a WAV header");
}

}  // namespace
