// The timer: monotonic seconds from the runtime's start, and pauses.
#include <gtest/gtest.h>

#include <climits>

#include "runtime/timer.h"

TEST(Timer, ReadingsStartAtTheOriginAndNeverGoBack) {
    rt::timer_reset_origin();
    long double previous = rt::timer();
    EXPECT_GE(previous, 0.0L);
    for (int i = 0; i < 10000; ++i) {
        const long double now = rt::timer();
        ASSERT_GE(now, previous);
        previous = now;
    }
}

TEST(Timer, PausesLastAtLeastTheTimeAskedAndNothingForZeroOrLess) {
    long double start = rt::timer();
    rt::sleep_ms(20);
    EXPECT_GE(rt::timer() - start, 0.020L);
    // Zero and negative counts return at once: read as unsigned, -3 would pause for 49 days.
    // The bound is only far beyond any scheduling delay, not a measure of speed.
    for (int milliseconds : {0, -3, INT_MIN}) {
        start = rt::timer();
        rt::sleep_ms(milliseconds);
        EXPECT_LT(rt::timer() - start, 1.0L) << milliseconds << " ms";
    }
}
