// Regression tests from fuzzing clip_and_draw: rounded crossing points can leave more than nine corners.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>

#include "collections/vertex_lists.h"
#include "raster/clip.h"
#include "target/screen.h"
#include "target/texture.h"

namespace {

vec4_t bits(uint32_t x, uint32_t y, uint32_t z, uint32_t w) {
    return vec4_t(std::bit_cast<float>(x), std::bit_cast<float>(y), std::bit_cast<float>(z), std::bit_cast<float>(w));
}

}  // namespace

// The fuzzer's corners: tiny and huge coordinates, a subnormal y and negative w's, so the
// crossing points are rounded far from the planes. In exact arithmetic six planes leave at
// most nine corners; here the rounded polygon is not quite convex and one plane cuts it more
// than twice. The clipper must neither loop nor lose the bound, and every fan triangle must
// keep its writes inside the 13 x 9 target (AddressSanitizer watches the buffers).
TEST(RegressionClipFan, NearlyDegenerateTriangleGivesTenCornersAndEightBoundedTriangles) {
    const vertex_t c1(bits(0xC0000000, 0x00080000, 0x00000000, 0x62676700));
    const vertex_t c2(bits(0xB6B6B649, 0xB6B6B6B6, 0x4AB6B6B6, 0xB63F4949));
    const vertex_t c3(bits(0x82003F00, 0x82828282, 0x82828282, 0x82828282));

    ktList<vertex_t> polygon;
    ASSERT_TRUE(clip_triangle(c1, c2, c3, polygon));
    EXPECT_EQ(polygon.size(), 10);
    // Each plane at most doubles the corners.
    EXPECT_LE(polygon.size(), 3 * 64);

    screen_t screen(13, 9, 1.5707964f, screen_t::offscreen_tag{});
    texture_t texture(5, 3, 32);
    for (const int32_t flags : {0, 1, 2, 3, 4, 5, 6, 7}) {
        screen.clear(255, 0, 0, 16);
        screen.clear_zbuffer();
        screen.triangle_count = 0;
        screen.pixel_count = 0;
        screen.textured = flags & 1;
        screen.wireframe = (flags >> 1) & 1;
        screen.cull_backfaces = (flags >> 2) & 1;
        clip_and_draw(screen, c1, c2, c3, texture);
        EXPECT_LE(screen.triangle_count, 8u) << "flags " << flags;
        if (screen.cull_backfaces == 0) {
            EXPECT_EQ(screen.triangle_count, 8u) << "flags " << flags;
        }
        EXPECT_LE(screen.pixel_count, 8u * 13 * 9) << "flags " << flags;
    }
}
