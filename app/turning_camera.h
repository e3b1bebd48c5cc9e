// The demo's camera: its projection for the screen and the frame matrix of a turn by a given angle.
#pragma once

#include "math/mat4.h"

struct screen_t;

// Perspective with the screen's field of view and aspect (width / height divided in extended
// precision and rounded to single), near plane 1 and far plane 1000000.
mat4_t demo_projection(const screen_t& screen);

// projection * translation(0, 0, 2.4) * rotation(angle, angle / 2, angle / 3): the object
// turned about its centre, moved 2.4 in front of the viewer, projected. The divisions happen
// in double; each angle is rounded to single only when passed.
mat4_t turning_frame(const mat4_t& projection, double angle);
