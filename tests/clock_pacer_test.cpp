#include <gtest/gtest.h>

#include "engine/frame_pacer.h"
#include "engine/hires_clock.h"
#include "platform/system.h"

namespace {

// A clock in millisecond ticks that the test moves by hand.
struct ManualClock : platform::Clock {
    uint64_t ticks = 0;
    uint64_t slept = 0;
    int sleeps = 0;
    uint64_t counter() override { return ticks; }
    uint64_t counterFrequency() override { return frequency; }
    uint64_t frequency = 1000;
    static uint64_t ticksOf(uint64_t ms) { return ms; }
    void sleepMs(uint32_t ms) override {
        ticks += ticksOf(ms);
        slept += ms;
        ++sleeps;
    }
    int64_t calendarSeconds() override { return 0; }
    void advanceMs(uint64_t ms) { ticks += ticksOf(ms); }
};

class PacerTest : public ::testing::Test {
  protected:
    ManualClock source;
    HiResClock clock{source};
    FramePacer pacer{clock};
};

TEST_F(PacerTest, ClockTruncatesToWholeMilliseconds) {
    ManualClock fine;
    fine.frequency = 1 << 20;                  // exact in binary
    fine.ticks = (uint64_t(38) << 20) / 1000;  // 37.999... ms
    HiResClock fineClock(fine);
    EXPECT_EQ(fineClock.nowMs(), 37);
    fine.ticks += 2;
    EXPECT_EQ(fineClock.nowMs(), 38);
    EXPECT_TRUE(clock.valid);
}

TEST_F(PacerTest, WaitSleepsOutTheRestOfThePeriod) {
    pacer.start(38);
    source.advanceMs(10);
    pacer.wait();
    EXPECT_EQ(source.slept, 28u);
    EXPECT_EQ(pacer.elapsed(), 0);
    source.advanceMs(5);
    EXPECT_EQ(pacer.elapsed(), 5);
}

TEST_F(PacerTest, OverrunIsNotMadeUpLater) {
    pacer.start(38);
    source.advanceMs(50);
    pacer.wait();
    EXPECT_EQ(source.sleeps, 0);
    int32_t restarted = pacer.startMs;
    EXPECT_EQ(restarted, clock.nowMs());
    source.advanceMs(10);
    pacer.wait();
    EXPECT_EQ(source.slept, 28u);
}

TEST_F(PacerTest, PeriodZeroNeverSleeps) {
    pacer.start(0);
    pacer.wait();
    source.advanceMs(3);
    pacer.wait();
    EXPECT_EQ(source.sleeps, 0);
    EXPECT_EQ(pacer.startMs, 3);
}

TEST_F(PacerTest, DifferencesStayRightAcrossTheSignedWrap) {
    // 2^31 - 5 ms: the millisecond value passes 2^31 during the period.
    source.ticks = ManualClock::ticksOf((uint64_t(1) << 31) - 5);
    pacer.start(38);
    EXPECT_GT(pacer.startMs, 0);
    source.advanceMs(10);
    EXPECT_LT(clock.nowMs(), 0);
    EXPECT_EQ(pacer.elapsed(), 10);
    pacer.wait();
    EXPECT_EQ(source.slept, 28u);
}

TEST_F(PacerTest, DifferencesStayRightAcrossTheUnsignedWrap) {
    source.ticks = ManualClock::ticksOf((uint64_t(1) << 32) - 2);
    pacer.start(38);
    source.advanceMs(30);
    EXPECT_EQ(pacer.elapsed(), 30);
    pacer.wait();
    EXPECT_EQ(source.slept, 8u);
}

}  // namespace
