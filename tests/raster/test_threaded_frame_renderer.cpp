// The frame renderer on targets without a screen: any threads and band heights give the bytes of one thread.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "geometry/triangle.h"
#include "raster/frame_renderer.h"
#include "raster/raster_fixtures.h"
#include "raster/threaded_fixtures.h"
#include "surfaces/draw_state.h"
#include "surfaces/frame_counters.h"
#include "surfaces/render_target.h"

namespace {

// What one renderer draws into: a target of its own, a draw state and counters.
struct frame_t {
    render_target_t target;
    draw_state_t state;
    frame_counters_t counters;

    // Bit 0 textured, bit 1 wireframe, bit 2 culling, bit 3 the clipper's route.
    frame_t(uint32_t width, uint32_t height, int mode) : target(width, height) {
        target.clear_depth_rows(0, target.height);
        state.textured = mode & 1;
        state.wireframe = (mode >> 1) & 1;
        state.cull_backfaces = (mode >> 2) & 1;
        state.clip_triangles = (mode >> 3) & 1;
    }
};

testing::AssertionResult same_frame(const frame_t& a, const frame_t& b) {
    const size_t n = size_t{a.target.width} * a.target.height;
    if (a.counters.triangle_count != b.counters.triangle_count || a.counters.pixel_count != b.counters.pixel_count) {
        return testing::AssertionFailure()
               << "counts " << a.counters.triangle_count << ", " << a.counters.pixel_count << " against "
               << b.counters.triangle_count << ", " << b.counters.pixel_count;
    }
    if (n != size_t{b.target.width} * b.target.height ||
        std::memcmp(a.target.framebuffer, b.target.framebuffer, n * 4) ||
        std::memcmp(a.target.zbuffer, b.target.zbuffer, n * 4)) {
        return testing::AssertionFailure() << "different pixels or depths";
    }
    return testing::AssertionSuccess();
}

// Clusters of three clip-space corners over and beyond the view volume (some behind the
// camera), each a triangle of either winding, and a few slots naming vertices that do not
// exist.
struct random_mesh_t {
    std::vector<vertex_t> vertices;
    std::vector<triangle_t> triangles;

    random_mesh_t(std::mt19937& rng, int32_t clusters) {
        std::uniform_real_distribution<float> spread(-1.3f, 1.3f), near(-0.2f, 0.2f), unit(0.0f, 1.0f);
        for (int32_t c = 0; c < clusters; ++c) {
            const float w = 0.6f + unit(rng);
            const vec4_t centre(spread(rng) * w, spread(rng) * w * 2.0f, spread(rng) * w * 0.8f, w);
            for (int k = 0; k < 3; ++k) {
                vec4_t p(centre.x + near(rng), centre.y + near(rng), centre.z + near(rng), centre.w);
                if (unit(rng) < 0.01f) p.w = -p.w;
                vertices.emplace_back(p, vec4_t(unit(rng), unit(rng), unit(rng), unit(rng) < 0.1f ? 1.0f : unit(rng)),
                                      vec4_t(unit(rng) - 0.5f, unit(rng) - 0.5f, unit(rng), 0.0f),
                                      vec4_t(unit(rng) * 4.0f - 2.0f, unit(rng) * 4.0f - 2.0f, 0.0f, 0.0f));
            }
            triangles.emplace_back(3 * c + (c % 2) * 2, 3 * c + 1, 3 * c + 2 - (c % 2) * 2);
        }
        triangles.emplace_back(0, -1, 2);
        triangles.emplace_back(0, 1, clusters * 3);
    }
    indexed_mesh_t slots() const {
        return {vertices.data(), static_cast<int32_t>(vertices.size()), triangles.data(),
                static_cast<int32_t>(triangles.size())};
    }
};

struct size_t2 {
    uint32_t width;
    uint32_t height;
};

}  // namespace

TEST(FrameRenderer, MeshesOnAnyThreadsAndBandsGiveTheBytesOfOneThread) {
    std::mt19937 rng(5);
    const auto texture = patterned(16, 8);
    const mat4_t matrix = mat4_t().identity();
    // The large mesh has its front end shared among the threads, the small one run by the caller.
    const random_mesh_t meshes[] = {random_mesh_t(rng, 700), random_mesh_t(rng, 25)};
    const size_t2 sizes[] = {{1, 1}, {5, 2}, {37, 5}, {301, 23}};
    for (const random_mesh_t& mesh : meshes) {
        for (const size_t2 size : sizes) {
            for (int mode = 0; mode < 16; ++mode) {
                // The mesh drawn `frames` times over the same buffers by one renderer (blending and
                // depth ties alike, the renderer's arrays grown on the first).
                const auto drawn = [&](int frames, frame_schedule_t schedule) {
                    auto f = std::make_unique<frame_t>(size.width, size.height, mode);
                    frame_space_t space;
                    frame_renderer_t renderer(f->target, f->state, f->counters, space, schedule);
                    for (int i = 0; i < frames; ++i) renderer.draw_mesh(mesh.slots(), matrix, *texture);
                    return f;
                };
                const auto once = drawn(1, {}), twice = drawn(2, {});
                EXPECT_GT(once->counters.triangle_count, 0u);
                for (const uint32_t threads : {1u, 2u, 3u, 8u}) {
                    for (const uint32_t band_rows : {0u, 1u, 7u, 1000u}) {
                        SCOPED_TRACE(testing::Message() << mesh.vertices.size() << " vertices, " << size.width << " x "
                                                        << size.height << ", mode " << mode << ", " << threads
                                                        << " threads, bands of " << band_rows << " rows");
                        EXPECT_TRUE(same_frame(*once, *drawn(1, {&pool_of(threads), band_rows})));
                        EXPECT_TRUE(same_frame(*twice, *drawn(2, {&pool_of(threads), band_rows}))) << "twice";
                    }
                }
            }
        }
    }
}

TEST(FrameRenderer, BandsCutByTheLastFramesWorkGiveTheBytesOfOneThread) {
    // Work that gathers unevenly in the rows: a dense cluster of small triangles in a few rows,
    // large ones across many, a few scattered; moved down the picture from frame to frame, so
    // each frame's bands are cut from the costs of rows its work has partly left. A mesh of
    // one chunk and one of many, in every mode; targets taller than wide, with fewer rows than
    // threads (bands of one row, threads without a band), and large enough that the small mesh
    // is worth sharing out (on the smaller ones the calling thread draws it alone).
    std::mt19937 rng(41);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    random_mesh_t many(rng, 0), few(rng, 0);
    const auto add = [&](random_mesh_t& mesh, int32_t count, float y, float spread, float size) {
        for (int32_t c = 0; c < count; ++c) {
            const vec4_t centre(unit(rng) * 1.6f - 0.8f, y + (unit(rng) - 0.5f) * spread, unit(rng) * 0.5f, 1.0f);
            const auto first = static_cast<int32_t>(mesh.vertices.size());
            for (int k = 0; k < 3; ++k) {
                const vec4_t p(centre.x + (unit(rng) - 0.5f) * size, centre.y + (unit(rng) - 0.5f) * size, centre.z,
                               1.0f);
                mesh.vertices.emplace_back(p, vec4_t(unit(rng), unit(rng), unit(rng), unit(rng) * 0.9f),
                                           vec4_t(0.0f, 0.0f, 1.0f, 0.0f), vec4_t(unit(rng), unit(rng), 0.0f, 0.0f));
            }
            mesh.triangles.emplace_back(first, first + 1, first + 2);
        }
    };
    add(many, 900, 0.6f, 0.15f, 0.05f);  // the cluster
    add(many, 12, 0.0f, 1.0f, 1.5f);     // large
    add(many, 60, 0.0f, 2.0f, 0.1f);     // scattered
    add(few, 40, 0.5f, 0.1f, 0.08f);
    add(few, 2, 0.0f, 0.5f, 1.2f);
    const auto texture = patterned(8, 8);
    const size_t2 sizes[] = {{61, 97}, {40, 5}, {150, 130}};
    for (const random_mesh_t* mesh : {&many, &few}) {
        for (const size_t2 size : sizes) {
            for (const int mode : {0, 1, 2, 8}) {
                for (const uint32_t threads : {2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
                    SCOPED_TRACE(testing::Message()
                                 << mesh->triangles.size() << " triangles, " << size.width << " x " << size.height
                                 << ", mode " << mode << ", " << threads << " threads");
                    frame_t one(size.width, size.height, mode), more(size.width, size.height, mode);
                    frame_space_t one_space, more_space;
                    for (int frame = 0; frame < 6; ++frame) {
                        const mat4_t matrix = mat4_t().translation(0.0f, -0.25f * static_cast<float>(frame), 0.0f);
                        frame_renderer_t(one.target, one.state, one.counters, one_space)
                            .draw_mesh(mesh->slots(), matrix, *texture);
                        frame_renderer_t(more.target, more.state, more.counters, more_space, {&pool_of(threads), 0})
                            .draw_mesh(mesh->slots(), matrix, *texture);
                        ASSERT_TRUE(same_frame(one, more)) << "frame " << frame;
                    }
                }
            }
        }
    }
}

TEST(FrameRenderer, BatchesDrawnFromFrameToFrameByOneRendererSpace) {
    // Triangles handed over one at a time, as a benchmark or a program hands its draw calls:
    // a large batch (bands cut by the last batch's work, as it keeps coming), and a batch so
    // small that from its second frame on the calling thread draws it alone; then the large
    // one again, drawn in bands once more.
    std::mt19937 rng(12);
    const random_mesh_t large(rng, 300), small(rng, 2);
    const auto texture = patterned(4, 4);
    for (const uint32_t threads : {2u, 3u, 8u}) {
        frame_t one(53, 47, 1), more(53, 47, 1);
        frame_space_t one_space, more_space;
        const auto draw = [&](const random_mesh_t& mesh, frame_t& f, frame_space_t& space, frame_schedule_t schedule) {
            frame_renderer_t renderer(f.target, f.state, f.counters, space, schedule);
            for (size_t i = 0; i + 2 < mesh.vertices.size(); i += 3) {
                renderer.draw_triangle(mesh.vertices[i], mesh.vertices[i + 1], mesh.vertices[i + 2], *texture);
            }
            renderer.finish();
        };
        for (const random_mesh_t* mesh : {&large, &large, &large, &small, &small, &small, &large, &large}) {
            draw(*mesh, one, one_space, {});
            draw(*mesh, more, more_space, {&pool_of(threads), 0});
            ASSERT_TRUE(same_frame(one, more)) << threads << " threads, " << mesh->vertices.size() << " vertices";
        }
    }
}

TEST(FrameRenderer, TrianglesOneAtATimeAcrossTexturesAndFinishes) {
    std::mt19937 rng(9);
    const random_mesh_t mesh(rng, 240);
    const auto a = patterned(8, 8), b = patterned(5, 3);
    // Every entry point, the texture changing every few triangles (a queue holds one texture,
    // so the renderer draws what it holds before it takes the other), the draw state changed
    // after a finish(), and what is queued at the end drawn when the renderer ends.
    const auto drawn = [&](frame_schedule_t schedule) {
        auto f = std::make_unique<frame_t>(64, 40, 1);
        {
            frame_renderer_t renderer(f->target, f->state, f->counters, schedule);
            for (size_t i = 0; i + 2 < mesh.vertices.size(); i += 3) {
                const vertex_t* c = &mesh.vertices[i];
                const texture_t& texture = (i / 21) % 2 == 0 ? *a : *b;
                if (i == 360) {
                    renderer.finish();
                    f->state.textured = 0;
                    f->state.cull_backfaces = 1;
                }
                switch ((i / 3) % 4) {
                    case 0:
                        renderer.draw_triangle(c[0], c[1], c[2], texture);
                        break;
                    case 1:
                        renderer.clip_and_draw(c[0], c[1], c[2], texture);
                        break;
                    case 2:
                        renderer.draw_if_inside(c[0], c[1], c[2], texture);
                        break;
                    default:
                        renderer.rasterise_triangle(corner(c[0].x() * 30.0f + 30.0f, c[0].y() * 20.0f),
                                                    corner(c[1].x() * 30.0f + 35.0f, c[0].y() * 20.0f + 3.0f),
                                                    corner(c[2].x() * 30.0f + 25.0f, c[0].y() * 20.0f + 9.0f), -1,
                                                    texture);
                        break;
                }
            }
        }
        return f;
    };
    const auto one = drawn({});
    EXPECT_GT(one->counters.pixel_count, 0u);
    for (const uint32_t threads : {2u, 3u, 8u}) {
        for (const uint32_t band_rows : {0u, 1u, 9u}) {
            EXPECT_TRUE(same_frame(*one, *drawn({&pool_of(threads), band_rows})))
                << threads << " threads, bands of " << band_rows << " rows";
        }
    }
}

TEST(FrameRenderer, AnEmptyTargetCountsTrianglesAndDrawsNothing) {
    std::mt19937 rng(3);
    const random_mesh_t mesh(rng, 800);
    const auto texture = patterned(4, 4);
    for (const uint32_t threads : {1u, 2u}) {
        frame_t empty(0, 7, 0), full(16, 16, 0);
        for (frame_t* f : {&empty, &full}) {
            frame_renderer_t(f->target, f->state, f->counters, {&pool_of(threads), 0})
                .draw_mesh(mesh.slots(), mat4_t().identity(), *texture);
        }
        EXPECT_EQ(empty.target.framebuffer, nullptr);
        EXPECT_EQ(empty.counters.triangle_count, full.counters.triangle_count) << threads << " threads";
        EXPECT_EQ(empty.counters.pixel_count, 0u);
    }
}

TEST(FrameRenderer, RenderersOnSeveralThreadsShareOnePool) {
    // Pictures of different sizes drawn at once, each by its own thread with its own target,
    // draw state and counters, all handing their bands to one pool.
    std::mt19937 rng(17);
    const random_mesh_t mesh(rng, 700);
    const auto texture = patterned(8, 8);
    const size_t2 sizes[] = {{64, 48}, {17, 90}, {200, 3}};
    std::vector<std::unique_ptr<frame_t>> alone, together;
    for (const size_t2 size : sizes) {
        alone.push_back(std::make_unique<frame_t>(size.width, size.height, 5));
        together.push_back(std::make_unique<frame_t>(size.width, size.height, 5));
        frame_t& f = *alone.back();
        frame_renderer_t(f.target, f.state, f.counters).draw_mesh(mesh.slots(), mat4_t().identity(), *texture);
    }
    base::thread_pool_t& pool = pool_of(3);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < together.size(); ++i) {
        threads.emplace_back([&, i] {
            frame_t& f = *together[i];
            frame_space_t space;
            frame_renderer_t renderer(f.target, f.state, f.counters, space, {&pool, 0});
            for (int frame = 0; frame < 5; ++frame) renderer.draw_mesh(mesh.slots(), mat4_t().identity(), *texture);
        });
    }
    for (std::thread& t : threads) t.join();
    for (size_t i = 0; i < together.size(); ++i) {
        frame_t& f = *alone[i];
        for (int frame = 1; frame < 5; ++frame) {
            frame_renderer_t(f.target, f.state, f.counters).draw_mesh(mesh.slots(), mat4_t().identity(), *texture);
        }
        EXPECT_TRUE(same_frame(f, *together[i])) << "picture " << i;
    }
}
