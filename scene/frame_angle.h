// The turning angle of demo frame N: the value the frame loop's repeated additions of 0.01 reach, computed directly.
#pragma once

#include <cstdint>

// The frame loop starts its angle at 0.0 and adds 0.01 in double before each frame, so frame
// n is drawn with the sum of n such additions, each rounded. This is that sum, bit for bit,
// without n additions: frame 0 is 0.0 (the scene as built), frame 1 is 0.01.
double demo_angle(uint64_t frame);
