// screen_t: the render target: framebuffer address, depth buffer, mode flags and frame counters.
#pragma once

#include <cstdint>

#include "base/thread_pool.h"
#include "math/vec4.h"

struct texture_t;

// Pixel (x, y) is 4 bytes at (x + y * width) * 4 of framebuffer, in the order blue, green,
// red, alpha; rows are exactly width * 4 bytes apart. Depth (x, y) is zbuffer[x + y * width]
// and smaller is nearer.
struct screen_t {
    uint32_t bytes_per_pixel = 0;
    uint8_t* framebuffer = nullptr;  // the graphics screen's, or our own for an offscreen target
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t zbuffer_size = 0;  // bytes
    float* zbuffer = nullptr;   // owned
    float fov = 0.0f;           // radians once set_fov has run
    int32_t textured = 0;
    int32_t wireframe = 0;
    int32_t cull_backfaces = 0;
    // Meshes send every triangle through the homogeneous clipper instead of straight to the
    // pipeline: the same picture inside the view volume, cut at its planes outside it.
    int32_t clip_triangles = 0;
    uint32_t triangle_count = 0;
    uint32_t pixel_count = 0;
    // Workers that meshes draw with, in bands (not owned); none: the calling thread alone.
    // Any number of threads gives the same picture and counters.
    base::thread_pool_t* threads = nullptr;

    // Opens the graphics screen at this size and draws into its framebuffer.
    screen_t();
    screen_t(uint32_t width, uint32_t height, float fov);

    // A target with a framebuffer of its own, independent of the graphics screen: for
    // tests, benchmarks and tools that need several targets at once.
    struct offscreen_tag {};
    screen_t(uint32_t width, uint32_t height, float fov, offscreen_tag);

    ~screen_t();
    screen_t(const screen_t&) = delete;
    screen_t& operator=(const screen_t&) = delete;

    void set_fov(float degrees);
    uint8_t* get_framebuffer() const { return framebuffer; }
    void clear(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue);
    void clear_zbuffer();
    // Both clears, the rows shared among the threads in one hand-over instead of two.
    void clear_frame(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue);

    // The rasteriser's two pixel writers.
    void draw_pixel(uint32_t x, uint32_t y, uint8_t alpha, uint8_t red, uint8_t green, uint8_t blue, float shade);
    void draw_texel(int32_t x, int32_t y, int32_t tx, int32_t ty, const texture_t& texture, const vec4_t& colour,
                    float shade);

private:
    // Rows first .. end - 1 of each clear.
    void clear_colour_rows(uint64_t first, uint64_t end, uint32_t colour);
    void clear_depth_rows(uint64_t first, uint64_t end);

    // Draws into the given framebuffer of w x h pixels with a zeroed depth buffer of our own;
    // false, leaving the target empty, when there is no framebuffer or no memory for depths.
    bool attach(uint8_t* pixels, uint32_t w, uint32_t h);

    uint8_t* own_framebuffer_ = nullptr;  // set only for an offscreen target
};
