#include <gtest/gtest.h>

#include "app/d3dapp.h"
#include "engine/basic.h"

using namespace velmora;

namespace {

int64_t FakeNow = 0;
int64_t FakeClock() {
    return FakeNow;
}
constexpr int64_t cFrequency = 1000000;

class FrameClock : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeNow = 5000;
        SetFrameClock(&FakeClock, cFrequency);
        Delta = 1.0f;
        DeltaSq = 1.0f;
    }
    void TearDown() override {
        SetFrameClock(nullptr, 0);
        Delta = DeltaSq = 1.0f;
    }
    // The clock part of one frame: stamp it and smooth Delta towards it.
    void Frames(TTimeArray& times, int count, int64_t ticksPerFrame) {
        for (int i = 0; i < count; ++i) {
            FakeNow += ticksPerFrame;
            times.Push();
            SmoothDelta(times.Average(3));
        }
    }
};

TEST_F(FrameClock, DeltaConvergesToTheFrameTimeInSixtieths) {
    struct {
        int Fps;
        float Expected;
    } cases[] = {{30, 2.0f}, {60, 1.0f}, {120, 0.5f}};
    for (auto c : cases) {
        TTimeArray times;
        Delta = 1.0f;
        Frames(times, 200, cFrequency / c.Fps);
        EXPECT_NEAR(Delta, c.Expected, 1e-3f) << c.Fps << " fps";
        EXPECT_NEAR(DeltaSq, c.Expected * c.Expected, 1e-2f);
    }
}

TEST_F(FrameClock, OneSlowFrameMovesDeltaOnlyALittle) {
    TTimeArray times;
    Frames(times, 100, cFrequency / 60);
    Frames(times, 1, cFrequency / 2); // a half-second hitch
    EXPECT_LT(Delta, 1.0f + 0.12f * 30 / 3 + 0.01f);
    EXPECT_GT(Delta, 1.0f);
}

TEST_F(FrameClock, AverageNeedsTwoStampsAndUsesAtMostN) {
    TTimeArray times;
    EXPECT_EQ(times.Average(3), 0.0);
    times.Push();
    EXPECT_EQ(times.Average(3), 0.0);
    FakeNow += 100000;
    times.Push();
    EXPECT_DOUBLE_EQ(times.Average(3), 0.1);
    FakeNow += 300000;
    times.Push();
    FakeNow += 300000;
    times.Push();
    FakeNow += 300000;
    times.Push();
    EXPECT_DOUBLE_EQ(times.Average(3), 0.3);
    EXPECT_EQ(times.Count, 5);
}

TEST_F(FrameClock, HistoryKeepsTheNewest256) {
    TTimeArray times;
    for (int i = 0; i < 300; ++i) {
        FakeNow += 10;
        times.Push();
    }
    EXPECT_EQ(times.Count, 256);
    EXPECT_EQ(times.Stamps[0], FakeNow);
    EXPECT_EQ(times.Stamps[255], FakeNow - 2550);
}

TEST_F(FrameClock, PacerWithoutPeriodAlwaysDueOnceAndMeasuresFps) {
    TFramePacer pacer;
    pacer.Start(0);
    int due = 0;
    for (int i = 0; i < 61; ++i) {
        FakeNow += cFrequency / 60 + 1;
        due += pacer.TicksDue();
    }
    EXPECT_EQ(due, 61);
    EXPECT_NEAR(pacer.Fps, 60.0f, 1.5f);
}

TEST_F(FrameClock, PacerWithPeriodCountsWholePeriods) {
    TFramePacer pacer;
    pacer.Start(0.1);
    FakeNow += 250000;
    EXPECT_EQ(pacer.TicksDue(), 2);
    FakeNow += 50000;
    EXPECT_EQ(pacer.TicksDue(), 1);
    EXPECT_EQ(pacer.TicksDue(), 0);
}

// Frame pacing with a clock in microseconds and a 60 Hz display.
constexpr int64_t cPeriod = cFrequency / 60; // 16666

TEST(FrameLimiter, AnEarlySwapWaitsToTheNextFrameBoundary) {
    TFrameLimiter limiter;
    limiter.Start(cPeriod, 0);
    EXPECT_EQ(limiter.WaitAfterSwap(2000), cPeriod - 2000); // drawn in 2 ms, swap returned at once
    EXPECT_EQ(limiter.WaitAfterSwap(cPeriod + 5000), cPeriod - 5000);
    EXPECT_EQ(limiter.WaitAfterSwap(2 * cPeriod + 1), cPeriod - 1);
}

TEST(FrameLimiter, ABlockingSwapAddsNoWait) {
    TFrameLimiter limiter;
    limiter.Start(cPeriod, 0);
    for (int frame = 1; frame <= 10; ++frame) // the swap returns at the display's refresh
        EXPECT_EQ(limiter.WaitAfterSwap(frame * cPeriod + 30), 0) << frame;
}

TEST(FrameLimiter, ALateFrameAddsNoWaitAndIsNotMadeUpFor) {
    TFrameLimiter limiter;
    limiter.Start(cPeriod, 0);
    EXPECT_EQ(limiter.WaitAfterSwap(40000), 0); // a 40 ms frame
    // The frames start anew from the late one: the next early swap waits a whole period from it.
    EXPECT_EQ(limiter.WaitAfterSwap(42000), 40000 + cPeriod - 42000);
}

TEST(FrameLimiter, NeverMoreFramesThanTheLimitWhateverTheFrameTimes) {
    TFrameLimiter limiter;
    limiter.Start(cPeriod, 0);
    int64_t now = 0;
    int frames = 0;
    uint32_t noise = 12345;
    while (now < 10 * cFrequency) {
        noise = noise * 1103515245u + 12345u;
        now += 1000 + (noise >> 16) % 20000; // drawing takes 1 .. 21 ms
        now += limiter.WaitAfterSwap(now);
        ++frames;
    }
    EXPECT_LE(frames, 10 * 60 + 1);
    EXPECT_GT(frames, 10 * 40);
}

TEST(FrameLimiter, PeriodFromTheLimitTheDisplayOrSixtyHertz) {
    EXPECT_EQ(FramePeriodTicks(-1, 0, cFrequency, true), cFrequency / 60); // refresh rate unknown
    EXPECT_EQ(FramePeriodTicks(-1, 144, cFrequency, true), cFrequency / 144);
    EXPECT_EQ(FramePeriodTicks(30, 144, cFrequency, true), cFrequency / 30);
    EXPECT_EQ(FramePeriodTicks(2, 60, cFrequency, true), cFrequency / 10); // too slow to play
    EXPECT_EQ(FramePeriodTicks(0, 60, cFrequency, true), 0);               // FrameLimit 0: no cap
    EXPECT_EQ(FramePeriodTicks(-1, 60, cFrequency, false), 0);             // a driven fixed-step run
    TFrameLimiter unlimited;
    unlimited.Start(0, 0);
    EXPECT_EQ(unlimited.WaitAfterSwap(10), 0);
}

TEST(FrameLimiter, SleepsAllButTheLastQuarterMillisecond) {
    EXPECT_EQ(SleepableTicks(10000, cFrequency), 9750);
    EXPECT_EQ(SleepableTicks(200, cFrequency), 0);
    EXPECT_EQ(SleepableTicks(-5, cFrequency), 0);
}

TEST(ErrorTexts, ExitAndReferenceSuffixes) {
    EXPECT_EQ(ErrorMessageText(static_cast<HRESULT>(0x8200000Cu), 1),
              "Could not reset the Direct3D device.\n\nThis sample will now exit.");
    EXPECT_EQ(ErrorMessageText(static_cast<HRESULT>(0x8007000Eu), 0), "Not enough memory.");
    EXPECT_EQ(ErrorMessageText(static_cast<HRESULT>(0x8876017Cu), 0), "Not enough video memory.");
    EXPECT_EQ(ErrorMessageText(0x1234, 0),
              "Generic application error. Enable\ndebug output for detailed information.");
    EXPECT_NE(ErrorMessageText(static_cast<HRESULT>(0x8200000Du), 2)
                  .find("\n\nSwitching to the reference rasterizer,"),
              std::string::npos);
}

} // namespace
