// Timer from the steady clock, and sleeping.
#include "runtime/timer.h"

#include <chrono>
#include <thread>

namespace rt {
namespace {

using clock = std::chrono::steady_clock;

constinit bool origin_set = false;
constinit int64_t origin_ns = 0;

int64_t now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(clock::now().time_since_epoch()).count();
}

}  // namespace

void timer_reset_origin() {
    origin_ns = now_ns();
    origin_set = true;
}

long double timer() {
    if (!origin_set) timer_reset_origin();
    return static_cast<long double>(now_ns() - origin_ns) / 1.0e9L;
}

void sleep_ms(int milliseconds) {
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace rt
