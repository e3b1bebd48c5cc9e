// framestats_t: intervals, rates and the wrapping frame counter.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/framestats.h"

TEST(FrameStats, FirstUpdateAfterZeroingMeasuresFromTimeZero) {
    framestats_t stats{};
    EXPECT_EQ(stats.last_ms, 0.0);
    EXPECT_EQ(stats.now_ms, 0.0);
    EXPECT_EQ(stats.frame_ms, 0.0);
    EXPECT_EQ(stats.frames, 0u);
    EXPECT_EQ(stats.fps, 0.0);

    stats.update_at(2.5L);
    EXPECT_EQ(stats.last_ms, 0.0);
    EXPECT_EQ(stats.now_ms, 2500.0);
    EXPECT_EQ(stats.frame_ms, 2500.0);
    EXPECT_EQ(stats.fps, 0.4);
    EXPECT_EQ(stats.frames, 1u);

    stats.update_at(2.504L);
    EXPECT_EQ(stats.last_ms, 2500.0);
    EXPECT_EQ(stats.now_ms, static_cast<double>(2.504L * 1000.0L));
    EXPECT_EQ(stats.frame_ms, stats.now_ms - 2500.0);
    EXPECT_EQ(stats.fps, 1000.0 / stats.frame_ms);  // the last frame alone, no smoothing
    EXPECT_NEAR(stats.fps, 250.0, 1e-6);
    EXPECT_EQ(stats.frames, 2u);
}

TEST(FrameStats, AZeroIntervalGivesInfiniteRate) {
    framestats_t stats{};
    stats.update_at(1.0L);
    stats.update_at(1.0L);
    EXPECT_EQ(stats.frame_ms, 0.0);
    EXPECT_EQ(stats.fps, std::numeric_limits<double>::infinity());
    EXPECT_EQ(stats.frames, 2u);
}

TEST(FrameStats, TheFrameCounterWrapsAtTwoToTheThirtyTwo) {
    framestats_t stats{};
    stats.frames = 4294967294u;
    stats.update_at(0.001L);
    EXPECT_EQ(stats.frames, 4294967295u);
    stats.update_at(0.002L);
    EXPECT_EQ(stats.frames, 0u);
    stats.update_at(0.003L);
    EXPECT_EQ(stats.frames, 1u);
}

TEST(FrameStats, UpdateReadsTheRuntimeTimer) {
    framestats_t stats{};
    stats.update();
    stats.update();
    EXPECT_GE(stats.now_ms, stats.last_ms);
    EXPECT_GE(stats.frame_ms, 0.0);
    EXPECT_EQ(stats.frames, 2u);
}
