// The polygon clipper against the six planes of the clip volume, and the two clipping entry points.
#include "raster/clip.h"

#include "raster/frame_renderer.h"
#include "surfaces/screen.h"

namespace {

// Both ends of a crossing edge are compared through the same rounded product, so the side a
// vertex is on is decided once and the crossing parameter uses exactly those values.
struct plane_side {
    float s;      // sign * component, rounded to single
    bool inside;  // s <= w
};

plane_side side_of(const vertex_t& v, int axis, float sign) {
    const float s = sign * v.component(axis);
    return {s, s <= v.position.w};
}

void clip_distinct(const ktList<vertex_t>& source, int axis, float sign, ktList<vertex_t>& destination) {
    vertex_t previous = source.get(source.size() - 1);
    plane_side previous_side = side_of(previous, axis, sign);
    for (ktIterator<vertex_t> it = source.iterator(); it.hasNext();) {
        const vertex_t current = it.next();
        const plane_side current_side = side_of(current, axis, sign);
        if (previous_side.inside != current_side.inside) {
            const float d_previous = previous.position.w - previous_side.s;
            const float t = d_previous / (d_previous - current.position.w + current_side.s);
            destination.add(lerp(previous, current, t));
        }
        if (current_side.inside) destination.add(current);
        previous = current;
        previous_side = current_side;
    }
}

}  // namespace

bool inside_every_plane(const vertex_t& v) {
    for (int axis = 0; axis < 3; ++axis) {
        if (!side_of(v, axis, +1.0f).inside || !side_of(v, axis, -1.0f).inside) return false;
    }
    return true;
}

void clip_against_plane(const ktList<vertex_t>& source, int axis, float sign, ktList<vertex_t>& destination) {
    if (&source == &destination) {
        // Appending to the list being walked would keep the walk going; clip a snapshot instead.
        const ktList<vertex_t> snapshot(source);
        clip_distinct(snapshot, axis, sign, destination);
        return;
    }
    clip_distinct(source, axis, sign, destination);
}

bool clip_against_axis(ktList<vertex_t>& working, ktList<vertex_t>& scratch, int axis) {
    clip_against_plane(working, axis, +1.0f, scratch);
    working.clear();
    if (scratch.isEmpty()) return false;
    clip_against_plane(scratch, axis, -1.0f, working);
    scratch.clear();
    return !working.isEmpty();
}

bool clip_triangle(const vertex_t& c1, const vertex_t& c2, const vertex_t& c3, ktList<vertex_t>& polygon) {
    ktList<vertex_t> scratch;
    polygon.clear();
    polygon.add(c1);
    polygon.add(c2);
    polygon.add(c3);
    for (int axis = 0; axis < 3; ++axis) {
        if (!clip_against_axis(polygon, scratch, axis)) return false;
    }
    return true;
}

void clip_and_draw(screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                   const texture_t& texture) {
    frame_renderer_t(screen, screen, screen).clip_and_draw(c1, c2, c3, texture);
}

void draw_if_inside(screen_t& screen, const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                    const texture_t& texture) {
    frame_renderer_t(screen, screen, screen).draw_if_inside(c1, c2, c3, texture);
}
