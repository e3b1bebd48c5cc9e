// The fast span paths against the slow reference filler: random triangles in every mode, compared byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "math/mat4.h"
#include "raster/pipeline.h"
#include "raster/rasteriser.h"
#include "raster/span_fill.h"
#include "raster_fixtures.h"
#include "reference_rasteriser.h"
#include "target/texture.h"

namespace {

// Triangles per instruction-set path. The default keeps the suite quick; set
// SOFTCUBE_DIFF_ITERATIONS (e.g. 3000000) for a long run.
uint64_t iterations() {
    const char* text = std::getenv("SOFTCUBE_DIFF_ITERATIONS");
    if (text == nullptr || *text == '\0') return 4000;
    const unsigned long long n = std::strtoull(text, nullptr, 10);
    return n == 0 ? 4000 : n;
}

// Restores the automatic choice when a test ends, whatever it forced.
struct isa_guard_t {
    ~isa_guard_t() { set_span_isa(span_isa_t::best); }
};

std::vector<span_isa_t> every_isa() {
    std::vector<span_isa_t> out{span_isa_t::portable};
    for (span_isa_t isa : {span_isa_t::sse2, span_isa_t::avx2}) {
        if (set_span_isa(isa) == isa) out.push_back(isa);
    }
    set_span_isa(span_isa_t::best);
    return out;
}

struct generator_t {
    std::mt19937_64 rng;
    explicit generator_t(uint64_t seed) : rng(seed) {}

    float uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
    int pick(int n) { return static_cast<int>(rng() % static_cast<uint64_t>(n)); }

    // Alpha values around the cut-off at 1.0 as well as ordinary ones, and rarely NaN (which
    // passes the test).
    float alpha() {
        switch (pick(40)) {
            case 4: return std::numeric_limits<float>::quiet_NaN();
            case 0: return 1.0f;
            case 1: return std::nextafter(1.0f, 0.0f);
            case 2: return std::nextafter(1.0f, 2.0f);
            case 3: return uniform(0.98f, 1.02f);
            case 5: case 6: case 7: case 8: case 9: case 10: return uniform(0.9f, 1.1f);
            default: return uniform(0.0f, 1.0f);
        }
    }
    // Colour channels mostly in 0..1, sometimes beyond (the byte wraps), exactly 0 and 1, or
    // not a number (byte 0).
    float channel() {
        switch (pick(60)) {
            case 3: return std::numeric_limits<float>::quiet_NaN();
            case 4: return 300.0f;
            case 0: return 0.0f;
            case 1: return 1.0f;
            case 2: return uniform(-0.5f, 1.5f);
            default: return uniform(0.0f, 1.0f);
        }
    }
    // Depths on a coarse grid, so that ties are common.
    float depth() { return static_cast<float>(pick(9) - 4) / 4.0f; }

    vertex_t clip_corner(float spread) {
        const float w = uniform(0.6f, 1.6f);
        const vec4_t position(uniform(-spread, spread) * w, uniform(-spread, spread) * w, depth() * w, w);
        const vec4_t colour(channel(), channel(), channel(), alpha());
        const vec4_t normal(uniform(-1.0f, 1.0f), uniform(-1.0f, 1.0f), uniform(-1.0f, 1.0f), pick(4) == 0 ? 1.0f : 0.0f);
        const vec4_t texcoord(uniform(-1.0f, 2.0f), uniform(-1.0f, 2.0f), 0.0f, 0.0f);
        return vertex_t(position, colour, normal, texcoord);
    }
};

void fill_random(screen_t& s, generator_t& gen) {
    const size_t n = static_cast<size_t>(s.width) * s.height;
    for (size_t i = 0; i < n * 4; ++i) s.framebuffer[i] = static_cast<uint8_t>(gen.rng());
    s.clear_zbuffer();
    // A few stored depths that are not the cleared value, NaN included.
    for (int k = 0; k < 20; ++k) {
        const size_t at = gen.rng() % n;
        s.zbuffer[at] = k == 0 ? std::numeric_limits<float>::quiet_NaN() : gen.depth();
    }
}

std::string describe(span_isa_t isa, uint64_t round, int mode) {
    return std::string(span_isa_name(isa)) + " round " + std::to_string(round) + " mode " + std::to_string(mode);
}

}  // namespace

TEST(Differential, FastPathsMatchReferenceInEveryMode) {
    isa_guard_t guard;
    // Odd sizes, so rows end in every position of the 4- and 8-pixel groups.
    constexpr uint32_t width = 101;
    constexpr uint32_t height = 67;
    texture_t tex(8, 4, 32);
    texture_t tex24(5, 3, 24);  // 3 bytes per texel
    for (uint32_t i = 0; i < 8 * 4 * 4; ++i) tex.pixels[i] = static_cast<uint8_t>(i * 37 + 11);
    for (uint32_t i = 0; i < 5 * 3 * 3; ++i) tex24.pixels[i] = static_cast<uint8_t>(i * 53 + 7);
    screen_t fast(width, height, 90.0f, screen_t::offscreen_tag{});
    screen_t slow(width, height, 90.0f, screen_t::offscreen_tag{});
    const uint64_t total = iterations();
    constexpr int per_round = 24;

    for (span_isa_t isa : every_isa()) {
        ASSERT_EQ(set_span_isa(isa), isa);
        generator_t gen(0x5eed + static_cast<uint64_t>(isa));
        for (uint64_t round = 0; round * per_round < total; ++round) {
            // Modes: bit 0 textured, bit 1 wireframe, bit 2 culling.
            const int mode = gen.pick(8);
            const texture_t& t = gen.pick(3) == 0 ? tex24 : tex;
            fill_random(fast, gen);
            std::memcpy(slow.framebuffer, fast.framebuffer, static_cast<size_t>(width) * height * 4);
            std::memcpy(slow.zbuffer, fast.zbuffer, static_cast<size_t>(width) * height * sizeof(float));
            for (screen_t* s : {&fast, &slow}) {
                s->textured = mode & 1;
                s->wireframe = (mode >> 1) & 1;
                s->cull_backfaces = (mode >> 2) & 1;
                s->pixel_count = s->triangle_count = 0;
            }
            // Small to larger-than-the-target triangles; spread > 1 puts corners off the sides.
            const float spread = gen.pick(4) == 0 ? 0.15f : (gen.pick(2) == 0 ? 1.0f : 1.9f);
            vertex_t previous[3];
            for (int n = 0; n < per_round; ++n) {
                vertex_t v[3];
                if (n > 0 && gen.pick(6) == 0) {
                    std::memcpy(v, previous, sizeof(v));  // the same triangle again: every depth ties
                } else {
                    for (vertex_t& c : v) c = gen.clip_corner(spread);
                }
                std::memcpy(previous, v, sizeof(v));
                const screen_triangle_t st = to_screen_triangle(fast, v[0], v[1], v[2]);
                if (st.culled) continue;
                rasterise_triangle(fast, st.top, st.middle, st.bottom, st.middle_is_left, t);
                reference::triangle(slow, st.top, st.middle, st.bottom, st.middle_is_left, t);
            }
            ASSERT_EQ(fast.pixel_count, slow.pixel_count) << describe(isa, round, mode);
            ASSERT_EQ(fast.triangle_count, slow.triangle_count) << describe(isa, round, mode);
            ASSERT_EQ(0, std::memcmp(fast.framebuffer, slow.framebuffer, static_cast<size_t>(width) * height * 4))
                << describe(isa, round, mode);
            ASSERT_EQ(0, std::memcmp(fast.zbuffer, slow.zbuffer, static_cast<size_t>(width) * height * sizeof(float)))
                << describe(isa, round, mode);
        }
    }
}

TEST(Differential, WideRowsAndLongSpansMatchReference) {
    // Rows longer than the fills' chunks, starting and ending at every offset, over rows of
    // very different lengths in one batch (thin slanted triangles next to wide ones).
    isa_guard_t guard;
    constexpr uint32_t width = 515;
    constexpr uint32_t height = 37;
    texture_t tex(4, 4, 32);
    screen_t fast(width, height, 90.0f, screen_t::offscreen_tag{});
    screen_t slow(width, height, 90.0f, screen_t::offscreen_tag{});
    for (span_isa_t isa : every_isa()) {
        set_span_isa(isa);
        generator_t gen(77 + static_cast<uint64_t>(isa));
        for (int round = 0; round < 30; ++round) {
            fill_random(fast, gen);
            std::memcpy(slow.framebuffer, fast.framebuffer, static_cast<size_t>(width) * height * 4);
            std::memcpy(slow.zbuffer, fast.zbuffer, static_cast<size_t>(width) * height * sizeof(float));
            fast.pixel_count = slow.pixel_count = 0;
            for (int n = 0; n < 6; ++n) {
                const float x0 = gen.uniform(-40.0f, 40.0f);
                const float x1 = gen.uniform(static_cast<float>(width) - 60.0f, static_cast<float>(width) + 60.0f);
                const vertex_t top = corner(gen.uniform(x0, x1), gen.uniform(-3.0f, 3.0f), gen.depth() * 0.5f,
                                            vec4_t(gen.channel(), gen.channel(), gen.channel(), gen.alpha()));
                const vertex_t mid = corner(x0, gen.uniform(5.0f, 30.0f), gen.depth() * 0.5f,
                                            vec4_t(gen.channel(), gen.channel(), gen.channel(), gen.uniform(0.0f, 1.0f)));
                const vertex_t bot = corner(x1, gen.uniform(31.0f, 40.0f), gen.depth() * 0.5f,
                                            vec4_t(gen.channel(), gen.channel(), gen.channel(), gen.uniform(0.0f, 1.0f)));
                const int32_t left = doubled_signed_area(top.position, mid.position, bot.position) <= 0.0f ? -1 : 0;
                rasterise_triangle(fast, top, mid, bot, left, tex);
                reference::triangle(slow, top, mid, bot, left, tex);
            }
            ASSERT_EQ(fast.pixel_count, slow.pixel_count) << span_isa_name(isa) << " round " << round;
            ASSERT_EQ(0, std::memcmp(fast.framebuffer, slow.framebuffer, static_cast<size_t>(width) * height * 4))
                << span_isa_name(isa) << " round " << round;
            ASSERT_EQ(0, std::memcmp(fast.zbuffer, slow.zbuffer, static_cast<size_t>(width) * height * sizeof(float)))
                << span_isa_name(isa) << " round " << round;
        }
    }
}

TEST(Differential, AbsurdCornersStayInsideOnEveryPath) {
    // Non-finite and enormous corners on every path: the sanitizer build watches the buffers,
    // and each call must come back (bounded work).
    isa_guard_t guard;
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float values[] = {nan, inf, -inf, 1.0e30f, -1.0e30f, 7.0e6f, -7.0e6f, 0.0f, 0.5f};
    texture_t tex(4, 4, 32);
    for (span_isa_t isa : every_isa()) {
        set_span_isa(isa);
        screen_t s(37, 23, 90.0f, screen_t::offscreen_tag{});
        s.clear_zbuffer();
        for (int mode = 0; mode < 4; ++mode) {
            s.textured = mode & 1;
            s.wireframe = mode >> 1;
            for (float a : values) {
                for (float b : values) {
                    rasterise_triangle(s, corner(a, -b), corner(b, 5.0f), corner(-a, b), 0, tex);
                    rasterise_triangle(s, corner(-5.0f, a), corner(b, 10.0f, a), corner(3.0f, 1.0e30f), -1, tex);
                    const vertex_t odd(vec4_t(a, 2.0f, b, b), vec4_t(a, b, 0.5f, b), vec4_t(0, 0, a, 0));
                    draw_triangle(s, odd, vertex_t(vec4_t(-0.5f, 0.5f, 0.0f, 1.0f)), vertex_t(vec4_t(0.5f, -0.5f, 0.0f, 1.0f)), tex);
                }
            }
        }
        EXPECT_LE(s.pixel_count, 4u * 9u * 9u * 3u * 37u * 23u) << span_isa_name(isa);
    }
}

TEST(Differential, DemoCubeFramesMatchReference) {
    // The demo's own cube (its corners, colours, normals and triangle order) seen from
    // many angles at 800 x 600, on every path, against the reference filler.
    isa_guard_t guard;
    struct corner_t {
        vec4_t p, c, n;
    };
    const corner_t corners[8] = {
        {{-1, 1, 1, 1}, {1, 0, 1, 0}, {1, -1, -1, 0}},    {{1, 1, 1, 1}, {1, 0, 0, 0.25f}, {-1, -1, -1, 0}},
        {{-1, -1, 1, 1}, {0, 1, 0, 0.5f}, {1, 1, -1, 0}}, {{1, -1, 1, 1}, {1, 1, 1, 1}, {1, -1, 1, 0}},
        {{-1, 1, -1, 1}, {0, 1, 1, 0}, {1, -1, 1, 0}},    {{1, 1, -1, 1}, {0, 0, 1, 0.25f}, {-1, -1, 1, 0}},
        {{1, -1, -1, 1}, {1, 1, 1, 0.5f}, {-1, 1, 1, 0}}, {{-1, -1, -1, 1}, {1, 1, 0, 1}, {1, 1, 1, 0}},
    };
    const int triangles[12][3] = {{2, 1, 0}, {1, 2, 3}, {1, 3, 6}, {6, 5, 1}, {0, 1, 4}, {5, 4, 1},
                                  {7, 3, 2}, {7, 6, 3}, {7, 2, 0}, {0, 4, 7}, {4, 5, 6}, {4, 6, 7}};
    texture_t tex(4, 4, 32);
    screen_t fast(800, 600, 90.0f, screen_t::offscreen_tag{});
    screen_t slow(800, 600, 90.0f, screen_t::offscreen_tag{});
    fast.set_fov(90.0f);
    mat4_t projection;
    projection.perspective(fast.fov, 800.0f / 600.0f, 1.0f, 1000000.0f);
    mat4_t translation;
    translation.translation(0.0f, 0.0f, 2.4f);
    for (span_isa_t isa : every_isa()) {
        set_span_isa(isa);
        for (int frame = 1; frame <= 12; ++frame) {
            const double angle = 0.73 * frame;
            const mat4_t m = multiply(projection, multiply(translation, mat4_t().rotation(static_cast<float>(angle),
                                                                                          static_cast<float>(angle / 2.0),
                                                                                          static_cast<float>(angle / 3.0))));
            for (screen_t* s : {&fast, &slow}) {
                s->clear(255, 0, 0, 16);
                s->clear_zbuffer();
            }
            for (const auto& t : triangles) {
                const vertex_t a = transform(vertex_t(corners[t[0]].p, corners[t[0]].c, corners[t[0]].n), m);
                const vertex_t b = transform(vertex_t(corners[t[1]].p, corners[t[1]].c, corners[t[1]].n), m);
                const vertex_t c = transform(vertex_t(corners[t[2]].p, corners[t[2]].c, corners[t[2]].n), m);
                const screen_triangle_t st = to_screen_triangle(fast, a, b, c);
                rasterise_triangle(fast, st.top, st.middle, st.bottom, st.middle_is_left, tex);
                reference::triangle(slow, st.top, st.middle, st.bottom, st.middle_is_left, tex);
            }
            ASSERT_GT(fast.pixel_count, 100000u);
            ASSERT_EQ(fast.pixel_count, slow.pixel_count) << span_isa_name(isa) << " frame " << frame;
            ASSERT_EQ(0, std::memcmp(fast.framebuffer, slow.framebuffer, size_t{800} * 600 * 4))
                << span_isa_name(isa) << " frame " << frame;
            ASSERT_EQ(0, std::memcmp(fast.zbuffer, slow.zbuffer, size_t{800} * 600 * sizeof(float)))
                << span_isa_name(isa) << " frame " << frame;
        }
    }
}
