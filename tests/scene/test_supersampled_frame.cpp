// Supersampled frames: the larger frame averaged, its counts, the overlay on top, transparency.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "scene/cube_scene.h"
#include "scene/demo_frame.h"
#include "surfaces/screen.h"

namespace {

std::unique_ptr<screen_t> offscreen(uint32_t width, uint32_t height) {
    auto s = std::make_unique<screen_t>(width, height, 90.0f, screen_t::offscreen_tag{});
    s->set_fov(90.0f);
    return s;
}

// The picture of `big` averaged by hand: each byte the mean of its factor x factor samples,
// to the nearest, ties to even.
std::vector<uint8_t> averaged(const screen_t& big, uint32_t factor) {
    const uint32_t w = big.width / factor, h = big.height / factor;
    std::vector<uint8_t> out(size_t{w} * h * 4);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            for (int c = 0; c < 4; ++c) {
                uint32_t sum = 0;
                for (uint32_t dy = 0; dy < factor; ++dy) {
                    for (uint32_t dx = 0; dx < factor; ++dx) {
                        sum += big.framebuffer[(size_t{y * factor + dy} * big.width + x * factor + dx) * 4 + c];
                    }
                }
                out[(size_t{y} * w + x) * 4 + c] = static_cast<uint8_t>(std::nearbyint(sum / double(factor * factor)));
            }
        }
    }
    return out;
}

}  // namespace

TEST(SupersampledFrame, IsTheLargerFrameAveragedWithTheOverlayOnTop) {
    for (const uint32_t factor : {2u, 3u}) {
        auto small = offscreen(64, 48), big = offscreen(64 * factor, 48 * factor);
        small->ssaa = factor;
        ASSERT_TRUE(small->make_samples());
        cube_scene_t small_scene(*small, std::make_unique<texture_t>(1, 1, 32));
        cube_scene_t big_scene(*big, std::make_unique<texture_t>(1, 1, 32));
        small_scene.start_at_frame(40);
        big_scene.start_at_frame(40);
        small->edges = big->edges = edge_rule_t::watertight;
        framestats_t stats{};
        frame_look_t look;
        look.overlay = true;
        const std::string line = draw_demo_frame(small_scene, stats, *small, look);
        look.overlay = false;
        draw_demo_frame(big_scene, stats, *big, look);
        const std::vector<uint8_t> expected = averaged(*big, factor);
        // Below the statistics line's 8 rows the average; the line is drawn over the picture
        // only, never into its samples.
        EXPECT_EQ(std::memcmp(small->framebuffer + 64 * 8 * 4, expected.data() + 64 * 8 * 4, 64 * 40 * 4), 0);
        EXPECT_NE(std::memcmp(small->framebuffer, expected.data(), 64 * 8 * 4), 0);
        EXPECT_EQ(std::memcmp(small->samples->framebuffer, big->framebuffer, size_t{big->width} * big->height * 4), 0);
        // The counts: every triangle, the samples written over factor^2, to the nearest.
        EXPECT_EQ(small->triangle_count, big->triangle_count);
        EXPECT_EQ(small->pixel_count,
                  static_cast<uint32_t>(std::nearbyint(big->pixel_count / double(factor * factor))));
        EXPECT_NE(line.find(std::to_string(small->pixel_count) + " Pixels"), std::string::npos) << line;
    }
}

TEST(SupersampledFrame, TransparentPicturesTakeTheAverageCoverageAsAlpha) {
    auto small = offscreen(40, 30), big = offscreen(80, 60);
    small->ssaa = 2;
    ASSERT_TRUE(small->make_samples());
    cube_scene_t small_scene(*small, std::make_unique<texture_t>(1, 1, 32));
    cube_scene_t big_scene(*big, std::make_unique<texture_t>(1, 1, 32));
    small_scene.hold_at_frame(70);
    big_scene.hold_at_frame(70);
    framestats_t stats{};
    frame_look_t look;
    look.background.transparent = true;
    look.overlay = false;
    draw_demo_frame(small_scene, stats, *small, look);
    std::vector<uint8_t> picture;
    ASSERT_TRUE(transparent_picture(small_scene, stats, *small, look, picture));
    // By hand: the larger frame over black and over white, each averaged, then composed.
    draw_demo_frame(big_scene, stats, *big, look);
    const std::vector<uint8_t> over_black = averaged(*big, 2);
    big->clear_frame(255, 255, 255, 255);
    big_scene.draw(*big);
    const std::vector<uint8_t> over_white = averaged(*big, 2);
    std::vector<uint8_t> expected(over_black.size());
    compose_transparent(over_black.data(), over_white.data(), 40 * 30, expected.data());
    EXPECT_EQ(picture, expected);
}
