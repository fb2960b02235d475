// Inputs the fuzzers found that once went wrong, kept as they were found.
// The sanitizer build is where most of these would fail again.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/zef_dx.h"
#include "platform/headless.h"
#include "services/sound.h"
#include "support/byte_writers.h"
#include "support/scratch_dir.h"

namespace {

class FuzzFindingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dx = std::make_unique<ZefDX>(&sys, true, 640, 480, 16);
        dx->createSound();
    }
    std::string write(const std::vector<uint8_t>& bytes, const std::string& name) {
        kit::writeFile(dir.file(name), bytes);
        return dir.file(name);
    }

    kit::ScratchDir dir;
    platform::HeadlessSystem sys;
    std::unique_ptr<ZefDX> dx;
};

// Unsigned 8-bit samples below the midpoint were converted with a left shift
// of a negative number (undefined behaviour); they must come out as
// (sample - 128) * 256, down to -32768 for a sample of 0.
TEST_F(FuzzFindingsTest, EightBitSamplesBelowTheMidpointConvertExactly) {
    const std::vector<uint8_t> found = {
        0x52, 0x49, 0x46, 0x46, 0x4c, 0x00, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6d,
        0x74, 0x20, 0x10, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x11, 0x2b, 0x00, 0x00,
        0x11, 0x2b, 0x00, 0x00, 0x01, 0x00, 0x08, 0x00, 0x64, 0x61, 0x74, 0x61, 0x28, 0x00,
        0x00, 0x00, 0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x00, 0x00, 0x00,
        0x57, 0x41, 0x56, 0x45, 0x66, 0x6d, 0x74, 0x20, 0x10, 0x00, 0x00, 0x00, 0x01, 0x00,
        0x01, 0x00, 0x11, 0x2b, 0x00, 0x00, 0x11, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87};
    Sound sound(dx.get(), write(found, "found.wav"));
    ASSERT_TRUE(sound.loaded());
    ASSERT_EQ(sound.dataSize(), 40u);
    sound.play(false);
    // 11025 Hz into 22050 Hz: every even output frame is one source frame.
    const std::vector<int16_t> mixed = sys.mixAudio(80);
    for (size_t k = 0; k < 40; ++k) {
        const int expected = (int(found[44 + k]) - 128) * 256;
        EXPECT_EQ(mixed[4 * k], expected) << "source frame " << k;
        EXPECT_EQ(mixed[4 * k + 1], expected) << "source frame " << k;
    }
}

}  // namespace
