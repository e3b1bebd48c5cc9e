// framestats_t: intervals, rates and the wrapping frame counter.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>

#include "runtime/timer.h"
#include "scene/framestats.h"

namespace {

auto fields(const framestats_t& s) { return std::tuple(s.last_ms, s.now_ms, s.frame_ms, s.frames, s.fps); }

}  // namespace

TEST(FrameStats, EachUpdateMeasuresTheLastFrameAloneAndTheCounterWraps) {
    framestats_t stats{};
    EXPECT_EQ(fields(stats), std::tuple(0.0, 0.0, 0.0, 0u, 0.0));
    stats.update_at(2.5L);  // the first update after zeroing measures from time zero
    EXPECT_EQ(fields(stats), std::tuple(0.0, 2500.0, 2500.0, 1u, 0.4));
    stats.update_at(2.504L);  // no smoothing: the rate of this frame only
    const double now = static_cast<double>(2.504L * 1000.0L);
    EXPECT_EQ(fields(stats), std::tuple(2500.0, now, now - 2500.0, 2u, 1000.0 / (now - 2500.0)));
    stats.update_at(2.504L);  // a zero interval
    EXPECT_EQ(fields(stats), std::tuple(now, now, 0.0, 3u, std::numeric_limits<double>::infinity()));
    stats.frames = 4294967294u;
    for (uint32_t frames : {4294967295u, 0u, 1u}) {
        stats.update_at(3.0L);
        EXPECT_EQ(stats.frames, frames) << "counting to " << frames;
    }
    // update() takes the runtime timer's reading, in milliseconds, and measures from the last update.
    const long double before = rt::timer();
    stats.update();
    const long double after = rt::timer();
    EXPECT_GE(stats.now_ms, static_cast<double>(before * 1000.0L));
    EXPECT_LE(stats.now_ms, static_cast<double>(after * 1000.0L));
    EXPECT_EQ(fields(stats), std::tuple(3000.0, stats.now_ms, stats.now_ms - 3000.0, 2u, 1000.0 / stats.frame_ms));
}
