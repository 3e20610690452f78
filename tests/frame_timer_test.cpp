#include <gtest/gtest.h>

#include "core/frame_timer.h"

namespace {

// A clock fed with a counter of 1000 counts per second.
struct TestClock {
    FrameClock clock;
    uint64_t now = 5000;
    TestClock() {
        clock.frequency = 1000;
        clock.Start(now);
    }
    void Frame(uint64_t counts, bool space = false, bool pausePressed = false) {
        now += counts;
        clock.Update(now, space, pausePressed);
    }
};

}  // namespace

TEST(FrameClock, DeltaAndDemoTimeFollowTheCounter) {
    TestClock t;
    t.Frame(20);
    EXPECT_FLOAT_EQ(t.clock.deltaTime, 0.02f);
    t.Frame(30);
    EXPECT_FLOAT_EQ(t.clock.deltaTime, 0.03f);
    EXPECT_NEAR(t.clock.demoTimeMs, 50.0, 1e-4);
}

TEST(FrameClock, SpaceRunsFourTimesAsFast) {
    TestClock t;
    t.Frame(10, true);
    EXPECT_FLOAT_EQ(t.clock.deltaTime, 0.04f);
    EXPECT_NEAR(t.clock.demoTimeMs, 40.0, 1e-4);
}

TEST(FrameClock, PauseStopsTimeAndResumesWhereItStopped) {
    TestClock t;
    t.Frame(10);
    t.Frame(10, false, true);  // P pressed
    EXPECT_EQ(t.clock.deltaTime, 0.0f);
    t.Frame(500, true);        // Space while paused changes nothing
    EXPECT_EQ(t.clock.deltaTime, 0.0f);
    EXPECT_NEAR(t.clock.demoTimeMs, 10.0, 1e-4);
    t.Frame(10, false, true);  // P again
    EXPECT_FLOAT_EQ(t.clock.deltaTime, 0.01f);
    EXPECT_NEAR(t.clock.demoTimeMs, 20.0, 1e-4);
}

TEST(FrameClock, ACounterSteppingBackwardsGivesZeroDelta) {
    TestClock t;
    t.now -= 100;
    t.clock.Update(t.now, false, false);
    EXPECT_EQ(t.clock.deltaTime, 0.0f);
    t.Frame(10);
    EXPECT_FLOAT_EQ(t.clock.deltaTime, 0.01f);  // measured from the backward reading
}

TEST(FrameClock, FirstFpsIsNearZeroThenRefreshesAfterOverASecond) {
    TestClock t;  // counter at 5 s, so the first frame sees > 1 s since "last FPS time" 0
    t.Frame(16);
    EXPECT_LT(t.clock.fps, 1.0f);
    EXPECT_GT(t.clock.fps, 0.0f);
    float first = t.clock.fps;
    for (int i = 0; i < 62; ++i) t.Frame(16);  // 0.992 s: no new measurement yet
    EXPECT_EQ(t.clock.fps, first);
    t.Frame(16);  // 1.008 s since the last measurement, 63 frames in it
    EXPECT_NEAR(t.clock.fps, 63.0f / 1.008f, 0.01f);
}

// A jump's frames: the very delta a counter at that rate gives (a 60 fps
// capture's), paused or not; the frame rate and the readings stay as they were.
TEST(FrameClock, AStepMovesLikeACounterFrameAndLeavesTheRateAlone) {
    FrameClock counted;
    counted.frequency = 60000000;
    counted.Start(0);
    counted.Update(1000000, false, false);

    TestClock t;
    t.Frame(20);
    t.Frame(20, false, true);  // paused
    const FrameClock before = t.clock;
    t.clock.Step(1000000, 60000000);
    EXPECT_EQ(t.clock.deltaTime, counted.deltaTime);
    EXPECT_EQ(t.clock.demoTimeMs, before.demoTimeMs + counted.deltaTime * 1000.0);
    EXPECT_EQ(t.clock.fps, before.fps);
    EXPECT_EQ(t.clock.frameCount, before.frameCount);
    EXPECT_EQ(t.clock.lastCounter, before.lastCounter);
    EXPECT_TRUE(t.clock.paused);
    // The next counted frame measures from the last reading, as before.
    t.Frame(20);
    EXPECT_EQ(t.clock.deltaTime, 0.0f);  // still paused
}
