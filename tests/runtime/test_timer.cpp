// The timer: monotonic seconds from the runtime's start.
#include <gtest/gtest.h>

#include "runtime/program.h"
#include "runtime/timer.h"

TEST(Timer, ReadingsNeverGoBackAndStartAtTheOrigin) {
    rt::timer_reset_origin();
    long double previous = rt::timer();
    EXPECT_GE(previous, 0.0L);
    for (int i = 0; i < 10000; ++i) {
        const long double now = rt::timer();
        ASSERT_GE(now, previous);
        previous = now;
    }
    rt::sleep_ms(0);
    rt::sleep_ms(-3);
}

TEST(Program, KeepsItsArguments) {
    char a0[] = "softcube";
    char a1[] = "--headless";
    char* argv[] = {a0, a1, nullptr};
    rt::program_init(2, argv);
    EXPECT_EQ(rt::program_argument_count(), 2);
    EXPECT_STREQ(rt::program_argument(1), "--headless");
    EXPECT_EQ(rt::program_argument(2), nullptr);
    EXPECT_EQ(rt::program_argument(-1), nullptr);
}
