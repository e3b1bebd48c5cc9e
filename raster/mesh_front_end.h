// mesh_front_end_t: an indexed mesh's vertices mapped once, its slots culled and sorted chunk by chunk.
#pragma once

#include <algorithm>
#include <cstdint>

#include "geometry/triangle.h"
#include "geometry/vertex.h"
#include "math/mat4.h"
#include "raster/clip.h"
#include "raster/pipeline.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// A mesh as it hands itself over: its vertex slots and its triangle slots. Every triangle slot
// is drawn, filled or not, in order; a slot whose indices fall outside the vertex slots is
// skipped rather than read out of bounds.
struct indexed_mesh_t {
    const vertex_t* vertices = nullptr;
    int32_t vertex_count = 0;
    const triangle_t* triangles = nullptr;
    int32_t triangle_count = 0;
};

// The slots are cut into chunks of consecutive slots, the unit a thread takes: a chunk's
// triangles come out in its slots' order, and chunks are independent of one another.
class mesh_front_end_t {
public:
    static constexpr uint32_t chunk_slots = 256;

    // mapped has room for every vertex slot. On the clipper's route the vertices stay in clip
    // space and each triangle is cut to the view volume (its whole fan drawn, as
    // clip_and_draw draws it); otherwise they are mapped to the screen once each.
    mesh_front_end_t(const indexed_mesh_t& mesh, const mat4_t& matrix, const mat4_t& viewport, bool clipped,
                     bool cull_backfaces, vertex_t* mapped)
        : mesh_(mesh),
          matrix_(matrix),
          viewport_(viewport),
          clipped_(clipped),
          cull_(cull_backfaces),
          mapped_(mapped) {}

    static uint32_t chunks_for(int32_t triangle_slots) {
        const auto slots = static_cast<uint32_t>(std::max(triangle_slots, 0));
        return slots / chunk_slots + (slots % chunk_slots != 0 ? 1 : 0);
    }
    uint32_t chunks() const { return chunks_for(mesh_.triangle_count); }

    // Vertex slots begin .. end - 1 transformed by the matrix (and mapped to the screen).
    void map_vertices(int32_t begin, int32_t end) const {
        int32_t v = begin;
#if defined(__SSE2__)
        for (; v + 4 <= end; v += 4) map_four(static_cast<size_t>(v));
#endif
        for (; v < end; ++v) {
            const vertex_t clip = transform(mesh_.vertices[static_cast<size_t>(v)], matrix_);
            mapped_[static_cast<size_t>(v)] = clipped_ ? clip : to_screen_vertex(clip, viewport_);
        }
    }

    // Chunk c's triangles in order, culled and sorted top to bottom, each handed to the sink:
    // on the direct route as indices into the mapped vertices (sink.take(vertices, top,
    // middle, bottom, middle_is_left)), on the clipper's route as the new corners of each
    // triangle of the fan (sink.take_corners(top, middle, bottom, middle_is_left)). On the
    // direct route a sink with may_reach(y, y, y) is asked first, with the corners' y; when
    // it says no, the triangle goes no further but sink.count_unreached() is called unless
    // the culling would drop it.
    template <class Sink>
    void take_chunk(uint32_t chunk, Sink& sink) const {
        const uint32_t first = chunk * chunk_slots;
        const uint32_t end = std::min(first + chunk_slots, static_cast<uint32_t>(mesh_.triangle_count));
        const vertex_t* v = mapped_;
        if (clipped_) {
            for (uint32_t i = first; i < end; ++i) {
                const triangle_t& t = mesh_.triangles[i];
                if (!valid(t)) continue;
                for_each_clipped_triangle(
                    v[t.a], v[t.b], v[t.c], [&](const vertex_t& a, const vertex_t& b, const vertex_t& c) {
                        map_and_sort(
                            viewport_, cull_, a, b, c,
                            [&](const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                                int32_t middle_is_left) { sink.take_corners(top, middle, bottom, middle_is_left); });
                    });
            }
            return;
        }
        for (uint32_t i = first; i < end; ++i) {
            const triangle_t& t = mesh_.triangles[i];
            if (!valid(t)) continue;
            const uint32_t index[3] = {static_cast<uint32_t>(t.a), static_cast<uint32_t>(t.b),
                                       static_cast<uint32_t>(t.c)};
            if constexpr (requires { sink.may_reach(0.0f, 0.0f, 0.0f); }) {
                // A sink that draws only some rows turns away what cannot reach them before
                // the sort; it still counts what the culling keeps.
                const vertex_t& a = v[index[0]];
                const vertex_t& b = v[index[1]];
                const vertex_t& c = v[index[2]];
                if (!sink.may_reach(a.y(), b.y(), c.y())) {
                    if (!(cull_ && doubled_signed_area(a, b, c) <= 0.0f)) sink.count_unreached();
                    continue;
                }
            }
            const corner_order_t order = order_corners(cull_, v[index[0]], v[index[1]], v[index[2]]);
            if (order.culled) continue;
            sink.take(v, index[order.top], index[order.middle], index[order.bottom], order.middle_is_left);
        }
    }

private:
#if defined(__SSE2__)
    // Four vertices at once, a lane each: the same single-precision operations in the same
    // order as transform and to_screen_vertex take them one vertex at a time (the reciprocal
    // of a normal's length in double, as normalised forms it), so every lane has their bits.
    void map_four(size_t first) const {
        const vertex_t* in = mesh_.vertices + first;
        vertex_t* out = mapped_ + first;
        __m128 p[4];
        __m128 n[4];
        for (int k = 0; k < 4; ++k) {
            p[k] = _mm_loadu_ps(&in[k].position.x);
            n[k] = _mm_loadu_ps(&in[k].normal.x);
        }
        _MM_TRANSPOSE4_PS(p[0], p[1], p[2], p[3]);
        _MM_TRANSPOSE4_PS(n[0], n[1], n[2], n[3]);
        transform_four(matrix_, p);
        normalise_four(n);
        if (!clipped_) {
            transform_four(viewport_, p);
            normalise_four(n);
            p[0] = _mm_div_ps(p[0], p[3]);
            p[1] = _mm_div_ps(p[1], p[3]);
            p[2] = _mm_div_ps(p[2], p[3]);
        }
        _MM_TRANSPOSE4_PS(p[0], p[1], p[2], p[3]);
        _MM_TRANSPOSE4_PS(n[0], n[1], n[2], n[3]);
        for (int k = 0; k < 4; ++k) {
            _mm_storeu_ps(&out[k].position.x, p[k]);
            _mm_storeu_ps(&out[k].colour.x, _mm_loadu_ps(&in[k].colour.x));
            _mm_storeu_ps(&out[k].normal.x, n[k]);
            _mm_storeu_ps(&out[k].texcoord.x, _mm_loadu_ps(&in[k].texcoord.x));
        }
    }

    // transform(m, v) of four vectors held a component per register: each row summed in the
    // order x, y, z, w, rounding after every operation.
    static void transform_four(const mat4_t& m, __m128 (&v)[4]) {
        __m128 r[4];
        for (int row = 0; row < 4; ++row) {
            const float* e = &m.m[row * 4];
            __m128 s = _mm_mul_ps(_mm_set1_ps(e[0]), v[0]);
            s = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(e[1]), v[1]), s);
            s = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(e[2]), v[2]), s);
            r[row] = _mm_add_ps(_mm_mul_ps(_mm_set1_ps(e[3]), v[3]), s);
        }
        for (int c = 0; c < 4; ++c) v[c] = r[c];
    }

    // normalised() of four vectors held a component per register.
    static void normalise_four(__m128 (&v)[4]) {
        __m128 dot = _mm_mul_ps(v[0], v[0]);
        dot = _mm_add_ps(dot, _mm_mul_ps(v[1], v[1]));
        dot = _mm_add_ps(dot, _mm_mul_ps(v[2], v[2]));
        dot = _mm_add_ps(dot, _mm_mul_ps(v[3], v[3]));
        const __m128 len = _mm_sqrt_ps(dot);
        const __m128 long_enough = _mm_cmpge_ps(len, _mm_set1_ps(single::min_length));
        const __m128d one = _mm_set1_pd(1.0);
        const __m128 inv_low = _mm_cvtpd_ps(_mm_div_pd(one, _mm_cvtps_pd(len)));
        const __m128 inv_high = _mm_cvtpd_ps(_mm_div_pd(one, _mm_cvtps_pd(_mm_movehl_ps(len, len))));
        const __m128 inv = _mm_movelh_ps(inv_low, inv_high);
        for (int c = 0; c < 4; ++c) v[c] = _mm_and_ps(_mm_mul_ps(v[c], inv), long_enough);
    }
#endif

    bool valid(const triangle_t& t) const {
        const auto inside = [this](int32_t i) { return i >= 0 && i < mesh_.vertex_count; };
        return inside(t.a) && inside(t.b) && inside(t.c);
    }

    indexed_mesh_t mesh_;
    mat4_t matrix_;
    mat4_t viewport_;
    bool clipped_;
    bool cull_;
    vertex_t* mapped_;
};
