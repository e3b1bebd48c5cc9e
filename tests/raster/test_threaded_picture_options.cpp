// The picture options on any number of threads and bands: the bytes, depths and counts of one thread.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "geometry/triangle.h"
#include "raster/frame_renderer.h"
#include "raster/threaded_fixtures.h"
#include "surfaces/draw_state.h"
#include "surfaces/frame_counters.h"
#include "surfaces/render_target.h"

namespace {

// A closed sheet of triangles across the view (shared edges everywhere) and loose triangles
// over and beyond the view volume, some behind the camera; textured, of both windings.
struct option_mesh_t {
    std::vector<vertex_t> vertices;
    std::vector<triangle_t> triangles;

    explicit option_mesh_t(std::mt19937& rng) {
        std::uniform_real_distribution<float> unit(0.0f, 1.0f), wobble(-0.03f, 0.03f);
        const auto vertex = [&](float x, float y, float z, float w) {
            vertices.emplace_back(vec4_t(x * w, y * w, z * w, w),
                                  vec4_t(unit(rng), unit(rng), unit(rng), 0.3f + 0.6f * unit(rng)),
                                  vec4_t(unit(rng) - 0.5f, unit(rng) - 0.5f, unit(rng), 0.0f),
                                  vec4_t(unit(rng) * 3.0f - 1.0f, unit(rng) * 3.0f - 1.0f, 0.0f, 0.0f));
        };
        constexpr int side = 9;
        for (int j = 0; j <= side; ++j) {
            for (int i = 0; i <= side; ++i) {
                vertex(-1.1f + 2.2f * i / side + wobble(rng), -1.1f + 2.2f * j / side + wobble(rng), 0.2f * unit(rng),
                       0.8f + 0.8f * unit(rng));
            }
        }
        for (int j = 0; j < side; ++j) {
            for (int i = 0; i < side; ++i) {
                const int a = j * (side + 1) + i, b = a + 1, c = a + side + 1, d = c + 1;
                triangles.emplace_back(a, b, d);
                triangles.emplace_back(a, d, c);
            }
        }
        std::uniform_real_distribution<float> spread(-1.4f, 1.4f);
        for (int k = 0; k < 60; ++k) {
            const int first = static_cast<int>(vertices.size());
            const float w = unit(rng) < 0.05f ? -0.7f : 0.6f + unit(rng);
            const float x = spread(rng), y = spread(rng);
            for (int c = 0; c < 3; ++c) vertex(x + spread(rng) * 0.3f, y + spread(rng) * 0.3f, unit(rng) - 0.2f, w);
            triangles.emplace_back(first, first + 1 + k % 2, first + 2 - k % 2);
        }
    }
    indexed_mesh_t slots() const {
        return {vertices.data(), static_cast<int32_t>(vertices.size()), triangles.data(),
                static_cast<int32_t>(triangles.size())};
    }
};

struct frame_t {
    render_target_t target;
    draw_state_t state;
    frame_counters_t counters;

    frame_t(uint32_t width, uint32_t height, const draw_state_t& s) : target(width, height), state(s) {
        target.clear_depth_rows(0, target.height);
    }
};

bool same_frame(const frame_t& a, const frame_t& b) {
    const size_t n = size_t{a.target.width} * a.target.height;
    return a.counters.triangle_count == b.counters.triangle_count && a.counters.pixel_count == b.counters.pixel_count &&
           std::memcmp(a.target.framebuffer, b.target.framebuffer, n * 4) == 0 &&
           std::memcmp(a.target.zbuffer, b.target.zbuffer, n * 4) == 0;
}

}  // namespace

TEST(PictureOptionsOnThreads, EveryThreadCountAndBandHeightGivesTheBytesOfOneThread) {
    std::mt19937 rng(31);
    const option_mesh_t mesh(rng);
    auto texture = patterned(16, 8);
    texture->build_mips();
    std::vector<draw_state_t> states;
    for (int k = 0; k < 8; ++k) {
        draw_state_t s;
        s.edges = k % 2 == 0 ? edge_rule_t::watertight : edge_rule_t::spans;
        s.lines = static_cast<line_mode_t>((k / 2) % 3);
        s.textured = k >= 2 ? 1 : 0;
        s.filter = static_cast<texture_filter_t>(k % 3);
        s.clip_triangles = k >= 5 ? 1 : 0;
        s.light = k % 3 == 1 ? light_from_angles(35.0, 20.0) : default_light;
        states.push_back(s);
    }
    for (const draw_state_t& state : states) {
        const auto drawn = [&](frame_schedule_t schedule) {
            auto f = std::make_unique<frame_t>(157, 61, state);
            frame_space_t space;
            frame_renderer_t renderer(f->target, f->state, f->counters, space, schedule);
            // Twice over the same buffers: depth ties everywhere the second time.
            for (int i = 0; i < 2; ++i) renderer.draw_mesh(mesh.slots(), mat4_t().identity(), *texture);
            return f;
        };
        const auto one = drawn({});
        EXPECT_GT(one->counters.pixel_count, 1000u);
        for (const uint32_t threads : {2u, 3u, 8u}) {
            for (const uint32_t band_rows : {0u, 1u, 7u}) {
                EXPECT_TRUE(same_frame(*one, *drawn({&pool_of(threads), band_rows})))
                    << "edges " << static_cast<int>(state.edges) << ", lines " << static_cast<int>(state.lines)
                    << ", filter " << static_cast<int>(state.filter) << ", " << threads << " threads, bands of "
                    << band_rows << " rows";
            }
        }
    }
}
