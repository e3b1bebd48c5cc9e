// Triangle edges drawn as lines: a pixel per column or row between snapped ends, depth-tested before the surface.
#pragma once

#include <cstdint>

#include "math/vec4.h"

struct render_target_t;

// One end of a line: its screen position, depth, colour and shade.
struct line_end_t {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    vec4_t colour;
    float shade = 1.0f;
};

// Lines are drawn this much nearer (in normalised depth) than the surface they lie on, so the
// fills of the two triangles that share an edge do not hide it. It is one constant, not a
// slope of either triangle, so both triangles draw the shared edge with the same depths and
// the second finds the first's pixels already at them (equal depth loses): a line is blended
// once, even when it is translucent.
constexpr float line_depth_bias = 0x1p-9f;

// Draws the segment between a and b into rows row_begin .. row_end - 1 of the target (cut to
// the target) and returns the pixels written. The rule, the same whichever end comes first:
// - the ends are put in order (by x, then y) and cut to the snapping grid's reach
//   (watertight::snap_limit) in double, then snapped to 1/256 pixel;
// - along the major axis (x when the snapped ends are at least as far apart in x as in y)
//   each pixel from the one holding the first end to the one holding the last (a coordinate
//   k + 0.5 belongs to pixel k + 1) takes one pixel: the minor coordinate of the segment at
//   that pixel's centre (held to the segment's ends), rounded the same way, in exact integers;
// - that pixel takes the ends' depth, colour and shade interpolated at the same point
//   (in double, rounded once), the depth less line_depth_bias and the shade times
//   shade_scale, and is tested and blended as a vertex-colour span pixel is: written when
//   its depth is below the stored one and its alpha below 1.0.
// Ends that are not finite numbers draw nothing.
uint32_t draw_line(render_target_t& target, const line_end_t& a, const line_end_t& b, float shade_scale,
                   int64_t row_begin, int64_t row_end);
