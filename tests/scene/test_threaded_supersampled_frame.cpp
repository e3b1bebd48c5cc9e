// Supersampled frames on any number of threads: the bytes of one thread.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "raster/threaded_fixtures.h"
#include "scene/cube_scene.h"
#include "scene/demo_frame.h"
#include "surfaces/screen.h"

TEST(SupersampledFrameOnThreads, AnyThreadCountGivesTheBytesOfOneThread) {
    const auto drawn = [](base::thread_pool_t* pool, uint32_t factor) {
        auto s = std::make_unique<screen_t>(203, 117, 90.0f, screen_t::offscreen_tag{});
        s->set_fov(90.0f);
        s->ssaa = factor;
        s->edges = edge_rule_t::watertight;
        s->lines = line_mode_t::over_fill;
        EXPECT_TRUE(s->make_samples());
        s->threads = pool;
        cube_scene_t scene(*s, std::make_unique<texture_t>(1, 1, 32));
        scene.start_at_frame(123);
        framestats_t stats{};
        draw_demo_frame(scene, stats, *s, frame_look_t{});
        s->threads = nullptr;
        return s;
    };
    for (const uint32_t factor : {2u, 3u, 4u}) {
        const auto one = drawn(nullptr, factor);
        for (const uint32_t threads : {2u, 3u, 8u}) {
            const auto many = drawn(&pool_of(threads), factor);
            EXPECT_EQ(std::memcmp(one->framebuffer, many->framebuffer, 203 * 117 * 4), 0)
                << factor << " samples a side, " << threads << " threads";
            EXPECT_EQ(one->pixel_count, many->pixel_count);
            EXPECT_EQ(one->triangle_count, many->triangle_count);
        }
    }
}
