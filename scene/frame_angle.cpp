// The angle of frame N: the rounded sums of 0.01 taken a binade at a time.
#include "scene/frame_angle.h"

#include <cmath>

namespace {

constexpr double angle_step = 0.01;

}  // namespace

// Within one binade [2^(e-1), 2^e) every double is a multiple of the spacing u = 2^(e-53),
// so adding 0.01 to a sum s there gives s plus 0.01 rounded to a multiple of u, the same
// amount every time, as long as the result stays in the binade. Below 1.0 the sums are
// added one by one: there the spacing is fine enough for 0.01's last bit to matter (one
// binade even rounds a tie, to even, which depends on s). From 1.0 on, the last bit of 0.01
// lies far below u, the rounded step is a whole number of spacings, the many additions of a
// binade are one exact multiplication and sum, and the few that cross into the next binade
// are made one by one.
double demo_angle(uint64_t frame) {
    double angle = 0.0;
    uint64_t left = frame;
    while (left > 0 && angle < 1.0) {
        angle += angle_step;
        --left;
    }
    while (left > 0) {
        int exponent = 0;
        std::frexp(angle, &exponent);  // angle lies in [2^(exponent-1), 2^exponent)
        const double binade_end = std::ldexp(1.0, exponent);
        const double spacing = std::ldexp(1.0, exponent - 53);
        const double rounded_step = std::nearbyint(angle_step / spacing) * spacing;
        // Additions that certainly stay below the binade's end: all but the last two that fit.
        const double fitting = std::floor((binade_end - angle) / rounded_step);
        const auto jump = static_cast<uint64_t>(std::fmax(fitting - 2.0, 0.0));
        const uint64_t taken = jump < left ? jump : left;
        angle += static_cast<double>(taken) * rounded_step;
        left -= taken;
        // Up to and across the binade's end, as the loop adds.
        while (left > 0 && angle < binade_end) {
            angle += angle_step;
            --left;
        }
    }
    return angle;
}
