// Lines between snapped ends: the pixels of the major axis, each with its one pixel across, tested and blended.
#include "raster/edge_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "raster/watertight_coverage.h"
#include "surfaces/pixel_blend.h"
#include "surfaces/render_target.h"

namespace {

using watertight::floor_div;
using watertight::subpixels;

// A point of the segment in double: where it is, and where it lies between the first end (0)
// and the last (1).
struct point_t {
    double x = 0.0;
    double y = 0.0;
    double along = 0.0;
};

// Cuts the segment from p to q to |x|, |y| <= the grid's reach, plane by plane, each cut point
// found from the end inside toward the one outside (so a far end costs no precision); false
// when nothing of it lies within.
bool cut_to_reach(point_t& p, point_t& q) {
    const double reach = watertight::snap_limit;
    for (int plane = 0; plane < 4; ++plane) {
        const bool on_x = plane < 2;
        const double side = plane % 2 == 0 ? 1.0 : -1.0;
        const auto across = [&](const point_t& v) { return on_x ? v.x : v.y; };
        const bool p_in = side * across(p) <= reach;
        const bool q_in = side * across(q) <= reach;
        if (!p_in && !q_in) return false;
        if (p_in && q_in) continue;
        const point_t& in = p_in ? p : q;
        point_t& out = p_in ? q : p;
        const double s = (side * reach - across(in)) / (across(out) - across(in));
        point_t cut;
        cut.x = on_x ? side * reach : in.x + (out.x - in.x) * s;
        cut.y = on_x ? in.y + (out.y - in.y) * s : side * reach;
        cut.along = in.along + (out.along - in.along) * s;
        out = cut;
    }
    return true;
}

// A point snapped to the grid: an end exactly as the watertight fill snaps corners, a cut
// point from double.
struct snapped_end_t {
    int64_t x = 0;
    int64_t y = 0;
    double along = 0.0;
};

snapped_end_t snapped(const point_t& p, const line_end_t& a, const line_end_t& b) {
    snapped_end_t s;
    s.along = p.along;
    if ((p.along == 0.0 && p.x == a.x && p.y == a.y) || (p.along == 1.0 && p.x == b.x && p.y == b.y)) {
        s.x = watertight::snap(static_cast<float>(p.x));
        s.y = watertight::snap(static_cast<float>(p.y));
        return s;
    }
    const double limit = static_cast<double>(watertight::snap_limit) * subpixels;
    s.x = static_cast<int64_t>(std::clamp(std::nearbyint(p.x * subpixels), -limit, limit));
    s.y = static_cast<int64_t>(std::clamp(std::nearbyint(p.y * subpixels), -limit, limit));
    return s;
}

// The pixel holding grid coordinate v: floor(v / 256 + 0.5).
int64_t pixel_of(int64_t v) { return floor_div(v + subpixels / 2, subpixels); }

// The line's pixels: for each major coordinate m (a pixel number) its minor one, both in
// screen order, with the point of the segment (0 .. 1 between its snapped ends) it samples.
struct line_walk_t {
    bool x_major = true;
    int64_t m0 = 0, m1 = 0;  // ends along the major axis, m0 <= m1 (1/256 pixel)
    int64_t n0 = 0, n1 = 0;  // and across it, at m0 and m1
    int64_t first = 0;       // the major pixels drawn
    int64_t last = -1;

    // The minor pixel at major pixel m, and where along the snapped segment it lies.
    int64_t minor_at(int64_t m, double& along) const {
        const int64_t at = std::clamp(m * subpixels, m0, m1);
        const int64_t run = m1 - m0;
        if (run == 0) {
            along = 0.0;
            return pixel_of(n0);
        }
        along = static_cast<double>(at - m0) / static_cast<double>(run);
        // floor((n0 + (at - m0) (n1 - n0) / run) / 256 + 0.5), exactly.
        return floor_div(n0 * run + (at - m0) * (n1 - n0) + run * (subpixels / 2), run * subpixels);
    }
};

float mix(float a, float b, double t) {
    return static_cast<float>(static_cast<double>(a) + (static_cast<double>(b) - a) * t);
}

}  // namespace

uint32_t draw_line(render_target_t& target, const line_end_t& first_end, const line_end_t& second_end,
                   float shade_scale, int64_t row_begin, int64_t row_end) {
    if (target.framebuffer == nullptr || target.zbuffer == nullptr || target.width == 0) return 0;
    // In order by x, then y, so that both triangles of an edge draw it alike.
    const bool swap = first_end.x > second_end.x || (first_end.x == second_end.x && first_end.y > second_end.y);
    const line_end_t& a = swap ? second_end : first_end;
    const line_end_t& b = swap ? first_end : second_end;
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) return 0;
    point_t p{a.x, a.y, 0.0};
    point_t q{b.x, b.y, 1.0};
    if (!cut_to_reach(p, q)) return 0;
    const snapped_end_t s0 = snapped(p, a, b);
    const snapped_end_t s1 = snapped(q, a, b);

    line_walk_t walk;
    walk.x_major = std::abs(s1.x - s0.x) >= std::abs(s1.y - s0.y);
    const bool forward = walk.x_major ? s0.x <= s1.x : s0.y <= s1.y;
    const snapped_end_t& lo = forward ? s0 : s1;
    const snapped_end_t& hi = forward ? s1 : s0;
    walk.m0 = walk.x_major ? lo.x : lo.y;
    walk.m1 = walk.x_major ? hi.x : hi.y;
    walk.n0 = walk.x_major ? lo.y : lo.x;
    walk.n1 = walk.x_major ? hi.y : hi.x;

    const int64_t rows_begin = std::max<int64_t>(row_begin, 0);
    const int64_t rows_end = std::min<int64_t>(row_end, target.height);
    const int64_t columns = target.width;
    // The pixels of the major axis that can land in the window: all rows of the line for a
    // line along x, the window's rows for one along y.
    walk.first = pixel_of(walk.m0);
    walk.last = pixel_of(walk.m1);
    if (walk.x_major) {
        if (std::max(pixel_of(walk.n0), pixel_of(walk.n1)) < rows_begin ||
            std::min(pixel_of(walk.n0), pixel_of(walk.n1)) >= rows_end) {
            return 0;
        }
        walk.first = std::max<int64_t>(walk.first, 0);
        walk.last = std::min(walk.last, columns - 1);
    } else {
        walk.first = std::max(walk.first, rows_begin);
        walk.last = std::min(walk.last, rows_end - 1);
    }

    uint32_t drawn = 0;
    for (int64_t m = walk.first; m <= walk.last; ++m) {
        double along = 0.0;
        const int64_t n = walk.minor_at(m, along);
        const int64_t x = walk.x_major ? m : n;
        const int64_t y = walk.x_major ? n : m;
        if (x < 0 || x >= columns || y < rows_begin || y >= rows_end) continue;
        // Where the pixel lies on the whole segment from a to b.
        const double on_segment =
            forward ? s0.along + (s1.along - s0.along) * along : s1.along + (s0.along - s1.along) * along;
        const float z = mix(a.z, b.z, on_segment) - line_depth_bias;
        const float alpha = mix(a.colour.w, b.colour.w, on_segment);
        const size_t at = static_cast<size_t>(y) * target.width + static_cast<size_t>(x);
        // NaN depth or alpha passes, as in the spans: only a comparison that holds rejects.
        if (z >= target.zbuffer[at] || alpha >= 1.0f) continue;
        target.zbuffer[at] = z;
        blend_vertex_colour(target.framebuffer + at * 4, pixel_channel_byte(alpha),
                            pixel_channel_byte(mix(a.colour.x, b.colour.x, on_segment)),
                            pixel_channel_byte(mix(a.colour.y, b.colour.y, on_segment)),
                            pixel_channel_byte(mix(a.colour.z, b.colour.z, on_segment)),
                            mix(a.shade, b.shade, on_segment) * shade_scale);
        ++drawn;
    }
    return drawn;
}
