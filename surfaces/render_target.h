// render_target_t: the pixels and depths a frame is drawn into, with the two pixel writers.
#pragma once

#include <cstdint>
#include <memory>

#include "math/vec4.h"

struct texture_t;

// Pixel (x, y) is 4 bytes at (x + y * width) * 4 of framebuffer, in the order blue, green,
// red, alpha; rows are exactly width * 4 bytes apart. Depth (x, y) is zbuffer[x + y * width]
// and smaller is nearer. The target owns its depth buffer, and its framebuffer unless it
// draws into someone else's (the graphics screen's).
//
// Sizes that are zero or larger than base::screen_max_side on either side, missing pixels and
// failed allocations give an empty 0 x 0 target with no buffers, on which drawing does nothing.
struct render_target_t {
    uint32_t bytes_per_pixel = 0;
    uint8_t* framebuffer = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t zbuffer_size = 0;  // bytes
    float* zbuffer = nullptr;

    render_target_t() = default;
    // Pixels of its own, every byte zero, and zeroed depths.
    render_target_t(uint32_t width, uint32_t height);
    // Draws into `pixels` (width x height, not owned) with zeroed depths of its own.
    render_target_t(uint8_t* pixels, uint32_t width, uint32_t height);
    render_target_t(const render_target_t&) = delete;
    render_target_t& operator=(const render_target_t&) = delete;

    bool owns_framebuffer() const { return own_pixels_ != nullptr; }

    // The rasteriser's two pixel writers; coordinates outside the target are ignored.
    void draw_pixel(uint32_t x, uint32_t y, uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue, float shade);
    void draw_texel(int32_t x, int32_t y, int32_t tx, int32_t ty, const texture_t& texture, const vec4_t& colour,
                    float shade);

    // Rows first .. end - 1 (end <= height): every depth 1.0e37, or every pixel painted with
    // the 0xAARRGGBB colour as the graphics screen's box primitive paints, blended by its alpha.
    // Each row's result depends only on its old value, so shares of rows may be done at once.
    void clear_depth_rows(uint64_t first, uint64_t end);
    void paint_rows(uint64_t first, uint64_t end, uint32_t argb);

private:
    // Points the target at the pixels with zeroed depths of its own; false, leaving it empty,
    // for an unusable size, no pixels or no memory.
    bool attach(uint8_t* pixels, uint32_t width, uint32_t height);

    std::unique_ptr<uint8_t[]> own_pixels_;
    std::unique_ptr<float[]> own_depths_;
};
