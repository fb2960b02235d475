#include <gtest/gtest.h>

#include "platform/headless.h"
#include "platform/result_codes.h"

using platform::HeadlessSystem;

namespace {

class HeadlessTest : public ::testing::Test {
  protected:
    std::vector<uint8_t> read() {
        std::vector<uint8_t> state(256, 0xEE);
        sys.input().readKeys(state.data());
        return state;
    }
    HeadlessSystem sys;
};

TEST_F(HeadlessTest, ClockIsVirtualMilliseconds) {
    platform::Clock& clock = sys.clock();
    EXPECT_EQ(clock.counterFrequency(), 1000u);
    const uint64_t start = clock.counter();
    clock.sleepMs(38);
    sys.advanceMs(12);
    EXPECT_EQ(clock.counter() - start, 50u);
    EXPECT_EQ(sys.nowMs(), uint32_t(start + 50));
    EXPECT_EQ(sys.totalSleptMs(), 50u);
}

TEST_F(HeadlessTest, ClockCanStandJustBelowTheWrap) {
    sys.setNowMs(0xFFFFFFF0ull);
    sys.clock().sleepMs(0x20);
    EXPECT_EQ(sys.clock().counter(), 0x100000010ull);
    EXPECT_EQ(sys.nowMs(), 0x10u);
    sys.setCalendarSeconds(1234);
    EXPECT_EQ(sys.clock().calendarSeconds(), 1234);
}

TEST_F(HeadlessTest, HeldKeysFollowTheirReadRange) {
    sys.holdKey(0x39, 1, 3);
    sys.holdKey(0x01, 2);
    auto r0 = read();
    auto r1 = read();
    auto r2 = read();
    auto r3 = read();
    EXPECT_EQ(r0[0x39], 0);
    EXPECT_EQ(r0[0x00], 0);  // every byte is written, not only the held ones
    EXPECT_EQ(r1[0x39], 0x80);
    EXPECT_EQ(r2[0x39], 0x80);
    EXPECT_EQ(r2[0x01], 0x80);
    EXPECT_EQ(r3[0x39], 0);
    EXPECT_EQ(r3[0x01], 0x80);
    EXPECT_EQ(sys.keyReads(), 4);
    sys.clearKeys();
    EXPECT_EQ(read()[0x01], 0);
}

TEST_F(HeadlessTest, KeyHookSeesTheReadNumberAndMayHoldKeys) {
    std::vector<int> seen;
    sys.onKeyRead = [&](int index, uint8_t held[256]) {
        seen.push_back(index);
        if (index == 1) held[0x44] = 0x80;
        if (index == 0) sys.holdKey(0x1E, 2, 3);
    };
    EXPECT_EQ(read()[0x44], 0);
    EXPECT_EQ(read()[0x44], 0x80);
    EXPECT_EQ(read()[0x1E], 0x80);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
}

TEST_F(HeadlessTest, PresentKeepsACopyOfEveryFrame) {
    platform::WindowConfig config;
    config.width = 320;
    config.height = 200;
    ASSERT_EQ(sys.window().open(config), platform::kOk);
    EXPECT_TRUE(sys.window().isOpen());
    EXPECT_EQ(sys.window().clientWidth(), 320);
    EXPECT_EQ(sys.window().clientHeight(), 200);

    platform::PixelSurface back(4, 3);
    back.fill(nullptr, 0x1111);
    int hooked = 0;
    sys.onPresent = [&](const HeadlessSystem::Frame& f) { hooked += f.width; };
    sys.advanceMs(5);
    sys.window().present(back);
    back.setPixel(3, 2, 0x2222);  // the kept frame must not change with the surface
    sys.window().present(back);
    sys.window().present(back);
    ASSERT_EQ(sys.frames().size(), 3u);
    const auto& first = sys.frames()[0];
    EXPECT_EQ(first.width, 4);
    EXPECT_EQ(first.height, 3);
    EXPECT_EQ(first.timeMs, 5u);
    ASSERT_EQ(first.pixels.size(), 12u);
    EXPECT_EQ(first.pixels[11], 0x1111);
    EXPECT_EQ(sys.frames()[1].pixels[11], 0x2222);
    EXPECT_NE(first.hash, sys.frames()[1].hash);
    EXPECT_EQ(sys.frames()[1].hash, sys.frames()[2].hash);
    EXPECT_EQ(hooked, 12);

    sys.setKeepPixels(false);
    sys.clearFrames();
    sys.window().present(back);
    ASSERT_EQ(sys.frames().size(), 1u);
    EXPECT_TRUE(sys.frames()[0].pixels.empty());
    EXPECT_EQ(sys.frames()[0].hash, sys.frames().back().hash);
    EXPECT_EQ(sys.presentCount(), 4u);
}

TEST_F(HeadlessTest, MessageBoxesAreRecorded) {
    testing::internal::CaptureStderr();
    sys.window().showMessageBox("ZefDX Error", "Function X::y(): 'broken'");
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_EQ(sys.messageBoxes().size(), 1u);
    EXPECT_EQ(sys.messageBoxes()[0], "ZefDX Error\nFunction X::y(): 'broken'");
    EXPECT_NE(err.find("'broken'"), std::string::npos);
}

TEST_F(HeadlessTest, AudioMixesOnDemand) {
    platform::AudioDevice& audio = sys.audio();
    EXPECT_EQ(audio.createVoice({}, nullptr, 0), -1);  // not open yet
    ASSERT_EQ(audio.open(), platform::kOk);
    EXPECT_EQ(sys.outputRate(), 22050);
    const int16_t samples[4] = {1000, 1000, 1000, 1000};
    platform::PcmFormat format;
    format.channels = 1;
    auto id = audio.createVoice(format, reinterpret_cast<const uint8_t*>(samples), 8);
    ASSERT_GE(id, 0);
    audio.play(id, true);
    EXPECT_TRUE(audio.isPlaying(id));
    auto out = sys.mixAudio(10);
    ASSERT_EQ(out.size(), 20u);
    EXPECT_EQ(out[0], 1000);
    EXPECT_EQ(out[19], 1000);
}

TEST_F(HeadlessTest, NoSoundCardMeansASilentDevice) {
    sys.setAudioAvailable(false);
    platform::AudioDevice& audio = sys.audio();
    EXPECT_EQ(audio.open(), platform::kErrSoundNoDriver);
    EXPECT_FALSE(audio.isOpen());
    const uint8_t data[4] = {0, 0, 0, 0};
    EXPECT_EQ(audio.createVoice({}, data, 4), -1);
    audio.play(-1, false);
    EXPECT_FALSE(audio.isPlaying(-1));
    EXPECT_EQ(sys.mixAudio(4), std::vector<int16_t>(8, 0));
}

}  // namespace
