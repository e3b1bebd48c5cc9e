// Drawing with threads against drawing on one: random meshes in every mode and route, band edges and sizes, and the
// demo's frames, byte for byte.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "base/thread_pool.h"
#include "mesh/mesh.h"
#include "raster/clip.h"
#include "raster/frame_renderer.h"
#include "raster/pipeline.h"
#include "raster/raster_fixtures.h"
#include "raster/rasteriser.h"
#include "raster/threaded_fixtures.h"
#include "scene/cube_scene.h"
#include "scene/demo_frame.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"

namespace {

// Clip-space vertices in clusters of three (small triangles that band edges cut, some
// wholly inside one band) scattered over and beyond the view volume, with a few absurd
// ones: behind the camera, huge, tiny w, infinite and NaN.
vertex_t random_vertex(std::mt19937& rng, const vec4_t& centre) {
    std::uniform_real_distribution<float> near(-0.15f, 0.15f), unit(0.0f, 1.0f);
    vec4_t p(centre.x + near(rng), centre.y + near(rng), centre.z + near(rng), centre.w);
    const float pick = unit(rng);
    if (pick < 0.01f) p.w = -p.w;
    if (pick >= 0.01f && pick < 0.015f) p.x *= 1.0e30f;
    if (pick >= 0.015f && pick < 0.02f) p.w = 1.0e-30f;
    if (pick >= 0.02f && pick < 0.022f) p.y = std::numeric_limits<float>::infinity();
    if (pick >= 0.022f && pick < 0.024f) p.x = std::numeric_limits<float>::quiet_NaN();
    const float alpha = unit(rng) < 0.1f ? 1.0f : unit(rng);
    return vertex_t(p, vec4_t(unit(rng), unit(rng), unit(rng), alpha),
                    vec4_t(unit(rng) - 0.5f, unit(rng) - 0.5f, unit(rng), 0.0f),
                    vec4_t(unit(rng) * 4.0f - 2.0f, unit(rng) * 4.0f - 2.0f, 0.0f, 0.0f));
}

std::unique_ptr<mesh_t> random_mesh(std::mt19937& rng, int32_t clusters, int32_t extra_triangles) {
    const int32_t vertex_count = clusters * 3;
    // Two spare slots past the filled ones stay default (0, 0, 0) triangles.
    auto mesh = std::make_unique<mesh_t>(vertex_count, clusters + extra_triangles + 2);
    std::uniform_real_distribution<float> spread(-1.3f, 1.3f), w(0.6f, 1.6f);
    for (int32_t c = 0; c < clusters; ++c) {
        const float cw = w(rng);
        const vec4_t centre(spread(rng) * cw, spread(rng) * cw, spread(rng) * cw * 0.8f, cw);
        for (int k = 0; k < 3; ++k) mesh->add_vertex(random_vertex(rng, centre));
        // Both windings, so culling drops some.
        if (c % 2 == 0) {
            mesh->add_triangle(3 * c, 3 * c + 1, 3 * c + 2);
        } else {
            mesh->add_triangle(3 * c + 2, 3 * c + 1, 3 * c);
        }
    }
    // Large triangles across the screen, and slots naming vertices that do not exist.
    std::uniform_int_distribution<int32_t> index(-2, vertex_count + 1);
    for (int32_t t = 0; t < extra_triangles; ++t) mesh->add_triangle(index(rng), index(rng), index(rng));
    return mesh;
}

// The triangle-by-triangle walk that meshes have always been drawn with: each slot's corners
// transformed on their own and handed to the pipeline or the clipper at once.
void draw_slot_by_slot(const mesh_t& mesh, screen_t& screen, const mat4_t& matrix, const texture_t& texture) {
    const auto valid = [&](int32_t i) { return i >= 0 && i < mesh.vertex_capacity; };
    for (int32_t i = 0; i < mesh.triangle_capacity; ++i) {
        const triangle_t& t = mesh.triangles[static_cast<size_t>(i)];
        if (!valid(t.a) || !valid(t.b) || !valid(t.c)) continue;
        const vertex_t tc = transform(mesh.vertices[static_cast<size_t>(t.c)], matrix);
        const vertex_t tb = transform(mesh.vertices[static_cast<size_t>(t.b)], matrix);
        const vertex_t ta = transform(mesh.vertices[static_cast<size_t>(t.a)], matrix);
        if (screen.clip_triangles != 0) {
            clip_and_draw(screen, ta, tb, tc, texture);
        } else {
            draw_triangle(screen, ta, tb, tc, texture);
        }
    }
}

struct size_case_t {
    uint32_t width;
    uint32_t height;
    const char* name;
};

constexpr size_case_t sizes[] = {
    {64, 48, "64 x 48"}, {37, 5, "37 x 5: bands of one row"}, {5, 2, "5 x 2: more threads than rows"}};

// Every mode: bit 0 textured, bit 1 wireframe, bit 2 culling, bit 3 the clipper's route.
void configure(screen_t& s, int mode) {
    set_mode(s, mode & 7);
    s.clip_triangles = (mode >> 3) & 1;
}

}  // namespace

TEST(ThreadedDrawing, RandomMeshesInEveryModeMatchTheSerialWalkByteForByte) {
    std::mt19937 rng(20261207);
    const auto texture = patterned(16, 8);
    // The large mesh takes the parallel preparation, the small one the caller's.
    for (const auto& [clusters, extra, mesh_name] : {std::tuple(900, 300, "large mesh"), {20, 10, "small mesh"}}) {
        const auto mesh = random_mesh(rng, clusters, extra);
        const mat4_t matrix = mat4_t().identity();
        for (const size_case_t& size : sizes) {
            for (int mode = 0; mode < 16; ++mode) {
                SCOPED_TRACE(testing::Message() << mesh_name << ", " << size.name << ", mode " << mode);
                auto reference = blank_screen(size.width, size.height);
                configure(*reference, mode);
                draw_slot_by_slot(*mesh, *reference, matrix, *texture);
                auto serial = blank_screen(size.width, size.height);
                configure(*serial, mode);
                mesh->render(*serial, matrix, *texture);
                EXPECT_TRUE(same_picture(*reference, *serial)) << "no threads";
                for (const uint32_t threads : thread_counts) {
                    auto s = blank_screen(size.width, size.height);
                    configure(*s, mode);
                    s->threads = &pool_of(threads);
                    mesh->render(*s, matrix, *texture);
                    EXPECT_TRUE(same_picture(*reference, *s)) << threads << " threads";
                    // Drawn twice over the same buffers: blending and depth ties come out alike.
                    mesh->render(*s, matrix, *texture);
                    draw_slot_by_slot(*mesh, *reference, matrix, *texture);
                    EXPECT_TRUE(same_picture(*reference, *s)) << threads << " threads, second pass";
                    reference = blank_screen(size.width, size.height);
                    configure(*reference, mode);
                    draw_slot_by_slot(*mesh, *reference, matrix, *texture);
                }
            }
        }
    }
}

TEST(ThreadedDrawing, EveryRouteInBandsOfAnyHeightMatchesTheSerialPath) {
    std::mt19937 rng(7);
    const auto texture = patterned(8, 8);
    std::vector<std::array<vertex_t, 3>> triangles;
    for (int i = 0; i < 300; ++i) {
        std::uniform_real_distribution<float> spread(-1.2f, 1.2f);
        const vec4_t centre(spread(rng), spread(rng), spread(rng) * 0.5f, 1.0f);
        // Every fourth triangle is stretched across many bands.
        const float scale = i % 4 == 0 ? 8.0f : 1.0f;
        std::array<vertex_t, 3> t;
        for (vertex_t& v : t) {
            v = random_vertex(rng, centre);
            v.position.y = centre.y + (v.position.y - centre.y) * scale;
        }
        triangles.push_back(t);
    }
    enum route { direct, clipped, inside_only, screen_space };
    for (const route r : {direct, clipped, inside_only, screen_space}) {
        for (int mode = 0; mode < 8; ++mode) {
            auto reference = blank_screen(41, 29);
            set_mode(*reference, mode);
            // The entry points over a screen (one thread), and the same routes through a renderer.
            const auto draw_serially = [&](const std::array<vertex_t, 3>& t) {
                if (r == direct) {
                    draw_triangle(*reference, t[0], t[1], t[2], *texture);
                } else if (r == clipped) {
                    clip_and_draw(*reference, t[0], t[1], t[2], *texture);
                } else if (r == inside_only) {
                    draw_if_inside(*reference, t[0], t[1], t[2], *texture);
                } else {
                    const screen_triangle_t st = to_screen_triangle(*reference, t[0], t[1], t[2]);
                    if (!st.culled)
                        rasterise_triangle(*reference, st.top, st.middle, st.bottom, st.middle_is_left, *texture);
                }
            };
            const auto draw = [&](frame_renderer_t& renderer, const std::array<vertex_t, 3>& t) {
                if (r == direct) {
                    renderer.draw_triangle(t[0], t[1], t[2], *texture);
                } else if (r == clipped) {
                    renderer.clip_and_draw(t[0], t[1], t[2], *texture);
                } else if (r == inside_only) {
                    renderer.draw_if_inside(t[0], t[1], t[2], *texture);
                } else {
                    const screen_triangle_t st = to_screen_triangle(*reference, t[0], t[1], t[2]);
                    if (!st.culled)
                        renderer.rasterise_triangle(st.top, st.middle, st.bottom, st.middle_is_left, *texture);
                }
            };
            for (const auto& t : triangles) draw_serially(t);
            // Band heights: chosen from the thread count, one row, a few rows, taller than the screen.
            for (const uint32_t band_rows : {0u, 1u, 4u, 13u, 1000u}) {
                for (const uint32_t threads : thread_counts) {
                    SCOPED_TRACE(testing::Message() << "route " << r << ", mode " << mode << ", bands of " << band_rows
                                                    << " rows, " << threads << " threads");
                    auto s = blank_screen(41, 29);
                    set_mode(*s, mode);
                    frame_renderer_t renderer(*s, *s, *s, {&pool_of(threads), band_rows});
                    for (const auto& t : triangles) draw(renderer, t);
                    renderer.finish();
                    EXPECT_TRUE(same_picture(*reference, *s));
                }
            }
        }
    }
}

TEST(ThreadedDrawing, TheDemosFramesAreTheSameOnAnyNumberOfThreads) {
    for (const int frame : {1, 100, 314, 1000}) {
        const auto draw = [frame](base::thread_pool_t* pool) {
            auto s = std::make_unique<screen_t>(800, 600, 90.0f, screen_t::offscreen_tag{});
            s->set_fov(90.0f);
            s->threads = pool;
            cube_scene_t scene(*s, patterned(32, 32));
            for (int f = 1; f < frame; ++f) scene.update();
            start_demo_frame(scene, *s);
            scene.draw(*s);
            return s;
        };
        const auto serial = draw(nullptr);
        EXPECT_GT(serial->pixel_count, 0u) << "frame " << frame;
        for (const uint32_t threads : thread_counts) {
            SCOPED_TRACE(testing::Message() << "frame " << frame << ", " << threads << " threads");
            EXPECT_TRUE(same_picture(*serial, *draw(&pool_of(threads))));
        }
    }
}

TEST(ThreadedDrawing, ClearsInSharesMatchTheSerialClears) {
    // Heights around the threshold of the parallel clear and shares of unequal size.
    for (const uint32_t height : {63u, 64u, 101u, 600u}) {
        for (const uint32_t threads : thread_counts) {
            SCOPED_TRACE(testing::Message() << height << " rows, " << threads << " threads");
            auto serial = blank_screen(33, height);
            auto shared = blank_screen(33, height);
            auto both_at_once = blank_screen(33, height);  // clear_frame: one hand-over for both
            shared->threads = &pool_of(threads);
            both_at_once->threads = &pool_of(threads);
            for (screen_t* s : {serial.get(), shared.get(), both_at_once.get()}) {
                for (size_t i = 0; i < size_t{33} * height * 4; ++i) s->framebuffer[i] = static_cast<uint8_t>(i * 7);
                s->zbuffer[5] = 0.5f;
                s->zbuffer[size_t{33} * height - 1] = 0.25f;
                s->pixel_count = 9;
                s->triangle_count = 4;
                if (s == both_at_once.get()) {
                    s->clear_frame(128, 200, 10, 16);
                } else {
                    s->clear(128, 200, 10, 16);  // translucent: blended over the old bytes
                    s->clear_zbuffer();
                }
            }
            EXPECT_TRUE(same_picture(*serial, *shared));
            EXPECT_TRUE(same_picture(*serial, *both_at_once));
            EXPECT_EQ(shared->zbuffer[5], 1.0e37f);
            EXPECT_EQ(both_at_once->zbuffer[size_t{33} * height - 1], 1.0e37f);
            EXPECT_EQ(both_at_once->pixel_count, 0u);
            EXPECT_EQ(both_at_once->triangle_count, 0u);
        }
    }
}
