// The timer: monotonic seconds from the runtime's start.
#include <gtest/gtest.h>

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
    rt::sleep_ms(-3);  // harmless
}
