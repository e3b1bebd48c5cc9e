// The timer and sleeping.
#pragma once

namespace rt {

// Seconds since the runtime was initialised (or, before that, since the first call), from a
// monotonic clock with nanosecond steps.
long double timer();

// Restarts the timer's origin; program_init does this.
void timer_reset_origin();

// Pauses the thread for about the given number of milliseconds; nothing for 0 or less.
void sleep_ms(int milliseconds);

}  // namespace rt
