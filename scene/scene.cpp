// The scene's frame sequence as a function of the frame number.
#include "scene/scene.h"

#include "scene/frame_angle.h"

// -0.01 + 0.01 is exactly 0.0, so frame 0 is the unturned scene and frame 1 follows it as
// the loop reaches it.
void scene_t::start_at_frame(uint64_t n) { angle = n == 0 ? -0.01 : demo_angle(n - 1); }

void scene_t::hold_at_frame(uint64_t n) {
    angle = demo_angle(n);
    paused = true;
}
