// Fast paths held against slow ones: every span path against the reference filler, and exact addition chains.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include "raster/clip.h"
#include "raster/pipeline.h"
#include "raster/rasteriser.h"
#include "raster/span_chain.h"
#include "raster/span_fill.h"
#include "raster_fixtures.h"
#include "reference_rasteriser.h"
#include "span_path_fixture.h"
#include "surfaces/texture.h"

namespace {

// The default keeps the suite quick; SOFTCUBE_DIFF_ITERATIONS (e.g. 3000000) makes a long run.
uint64_t iterations(uint64_t normal) {
    const char* text = std::getenv("SOFTCUBE_DIFF_ITERATIONS");
    const uint64_t n = text != nullptr ? std::strtoull(text, nullptr, 10) : 0;
    return n != 0 ? n : normal;
}

// Once per span path.
class Differential : public span_path_test {};
SOFTCUBE_EVERY_SPAN_PATH(Differential);

struct generator_t {
    std::mt19937_64 rng;
    float uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); }
    int pick(int n) { return static_cast<int>(rng() % static_cast<uint64_t>(n)); }
    // Mostly 0..1, one time in `rarely` one of `special`.
    float unit_or(std::initializer_list<float> special, int rarely) {
        return pick(rarely) == 0 ? special.begin()[pick(static_cast<int>(special.size()))] : uniform(0.0f, 1.0f);
    }
    // A coarse grid, so that depth ties are common.
    float depth() { return static_cast<float>(pick(9) - 4) / 4.0f; }
    vertex_t clip_corner(float spread) {
        const float w = uniform(0.6f, 1.6f);
        // Colour channels sometimes exactly 0 or 1, beyond (the byte wraps) or NaN (byte 0); alpha
        // often around the cut-off at 1.0, and rarely NaN (which passes the test).
        const auto channel = [&] { return unit_or({0.0f, 1.0f, uniform(-0.5f, 1.5f), NAN, 300.0f}, 12); };
        const float alpha =
            unit_or({1.0f, std::nextafter(1.0f, 0.0f), std::nextafter(1.0f, 2.0f), NAN, uniform(0.9f, 1.1f)}, 3);
        return vertex_t(vec4_t(uniform(-spread, spread) * w, uniform(-spread, spread) * w, depth() * w, w),
                        vec4_t(channel(), channel(), channel(), alpha),
                        vec4_t(uniform(-1, 1), uniform(-1, 1), uniform(-1, 1), pick(4) == 0 ? 1.0f : 0.0f),
                        vec4_t(uniform(-1, 2), uniform(-1, 2), 0, 0));
    }
};

}  // namespace

TEST_P(Differential, MatchesTheReferenceInEveryMode) {
    // Odd sizes put row ends at every position of the 4- and 8-pixel groups; rows wider than
    // the fills' blocks of 16 and passes of 128 pixels; triangles from tiny to well beyond every side.
    constexpr uint32_t width = 283, height = 41;
    texture_t tex(8, 4, 32), tex24(5, 3, 24);
    for (uint32_t i = 0; i < 8 * 4 * 4; ++i) tex.pixels[i] = static_cast<uint8_t>(i * 37 + 11);
    for (uint32_t i = 0; i < 5 * 3 * 3; ++i) tex24.pixels[i] = static_cast<uint8_t>(i * 53 + 7);
    auto fast = blank_screen(width, height), slow = blank_screen(width, height);
    constexpr uint64_t per_round = 16;
    const uint64_t total = iterations(2400);
    generator_t gen{std::mt19937_64(0x5eed + static_cast<uint64_t>(isa))};
    for (uint64_t round = 0; round * per_round < total; ++round) {
        const int mode = gen.pick(8);
        const texture_t& t = gen.pick(3) == 0 ? tex24 : tex;
        // A random picture, and a few stored depths other than the cleared one, NaN included.
        std::generate_n(fast->framebuffer, width * height * 4, [&] { return static_cast<uint8_t>(gen.rng()); });
        fast->clear_zbuffer();
        for (int k = 0; k < 20; ++k) fast->zbuffer[gen.rng() % (width * height)] = k == 0 ? NAN : gen.depth();
        std::memcpy(slow->framebuffer, fast->framebuffer, width * height * 4);
        std::memcpy(slow->zbuffer, fast->zbuffer, width * height * 4);
        set_mode(*fast, mode);
        set_mode(*slow, mode);
        fast->pixel_count = fast->triangle_count = slow->pixel_count = slow->triangle_count = 0;
        const float spread = gen.pick(4) == 0 ? 0.1f : (gen.pick(2) == 0 ? 1.0f : 1.9f);
        vertex_t v[3];
        for (uint64_t n = 0; n < per_round; ++n) {
            // Now and then the same triangle again, so that every depth ties.
            if (n == 0 || gen.pick(6) != 0)
                for (vertex_t& c : v) c = gen.clip_corner(spread);
            const screen_triangle_t st = to_screen_triangle(*fast, v[0], v[1], v[2]);
            if (st.culled) continue;
            rasterise_triangle(*fast, st.top, st.middle, st.bottom, st.middle_is_left, t);
            reference::triangle(*slow, st.top, st.middle, st.bottom, st.middle_is_left, t);
        }
        ASSERT_TRUE(same_picture(*fast, *slow)) << span_isa_name(isa) << " round " << round << " mode " << mode;
    }
}

TEST_P(Differential, TexturedLanesMatchTheReferenceForEveryTextureSize) {
    // Power-of-two sizes (reduced by mask) and others (by remainder), 1-wide and 1-high ones, a
    // texture wider than the framebuffer, and 24-bit texels (sampled one by one). Texels are
    // opaque (T = 0), fully transparent (T = 255) or anything between. Coordinates wrap several
    // times, go negative, reach beyond 2^31 and 2^64 after scaling, and are infinite or NaN.
    struct size_class_t {
        uint32_t width, height, depth;
    };
    const size_class_t sizes[] = {{1, 1, 32},   {1, 8, 32},   {8, 1, 32}, {2, 2, 32},  {64, 64, 32},
                                  {256, 4, 32}, {3, 5, 32},   {7, 1, 32}, {1, 13, 32}, {13, 11, 32},
                                  {100, 3, 32}, {31, 64, 32}, {5, 3, 24}, {300, 2, 32}};
    constexpr uint32_t width = 197, height = 37;
    auto fast = blank_screen(width, height), slow = blank_screen(width, height);
    set_mode(*fast, 1);
    set_mode(*slow, 1);
    const uint64_t rounds = iterations(2400) / 8;
    generator_t gen{std::mt19937_64(0x7e77 + static_cast<uint64_t>(isa))};
    for (uint64_t round = 0; round < rounds; ++round) {
        const size_class_t& size = sizes[round % std::size(sizes)];
        SCOPED_TRACE(testing::Message() << span_isa_name(isa) << " round " << round << " texture " << size.width
                                        << " x " << size.height << " x " << size.depth);
        texture_t tex(size.width, size.height, size.depth);
        const uint32_t bytes = size.width * size.height * (size.depth / 8);
        for (uint32_t i = 0; i < bytes; ++i) tex.pixels[i] = static_cast<uint8_t>(gen.rng());
        if (size.depth == 32) {
            const uint8_t transparency[] = {0, 255, static_cast<uint8_t>(gen.rng())};
            for (uint32_t i = 3; i < bytes; i += 4) tex.pixels[i] = transparency[gen.pick(3)];
        }
        std::generate_n(fast->framebuffer, width * height * 4, [&] { return static_cast<uint8_t>(gen.rng()); });
        fast->clear_zbuffer();
        std::memcpy(slow->framebuffer, fast->framebuffer, width * height * 4);
        std::memcpy(slow->zbuffer, fast->zbuffer, width * height * 4);
        fast->pixel_count = fast->triangle_count = slow->pixel_count = slow->triangle_count = 0;
        const auto coordinate = [&] {
            const float special[] = {NAN, INFINITY, -INFINITY, 3.0e9f, -3.0e9f, 1.0e20f, -2.5e19f, 0.5f, -0.0f};
            return gen.pick(10) == 0 ? special[gen.pick(static_cast<int>(std::size(special)))]
                                     : gen.uniform(-4.0f, 5.0f);
        };
        vertex_t v[3];
        for (int n = 0; n < 8; ++n) {
            // Now and then the same triangle again, so that every depth ties.
            if (n == 0 || gen.pick(4) != 0) {
                for (vertex_t& c : v) {
                    c = gen.clip_corner(gen.pick(3) == 0 ? 1.9f : 1.0f);
                    c.texcoord = vec4_t(coordinate(), coordinate(), 0, 0);
                }
            }
            const screen_triangle_t st = to_screen_triangle(*fast, v[0], v[1], v[2]);
            rasterise_triangle(*fast, st.top, st.middle, st.bottom, st.middle_is_left, tex);
            reference::triangle(*slow, st.top, st.middle, st.bottom, st.middle_is_left, tex);
        }
        ASSERT_TRUE(same_picture(*fast, *slow));
    }
}

TEST_P(Differential, RowBatchesMatchTheReference) {
    // Vertex-colour and textured rows are filled several at a time: batches of one row, rows of
    // one to three pixels, rows of very different lengths side by side, batches on either side
    // of the length from which a path draws rows a block at a time, row counts that leave a
    // short last batch, rows cut at every side of the target and rows ending on the last pixel
    // of both buffers. Each shape is drawn again and again with new colours, depths, w and
    // coordinates, in both modes.
    struct shape_t {
        const char* name;
        float x[3], y[3];  // screen positions of the corners
    };
    constexpr uint32_t width = 61, height = 29;
    const shape_t shapes[] = {
        {"one row", {10.3f, 40.7f, 20.1f}, {3.2f, 3.4f, 3.7f}},
        {"one row at the bottom", {2.0f, 60.9f, 30.0f}, {27.6f, 28.3f, 29.2f}},
        {"rows of one to three pixels", {20.2f, 22.6f, 21.0f}, {0.4f, 14.0f, 27.6f}},
        {"lengths from 1 to 60 in a batch", {0.0f, 60.0f, 0.0f}, {0.0f, 1.0f, 9.0f}},
        {"batches of rows of 12 to 25 pixels", {5.0f, 30.0f, 5.0f}, {0.0f, 0.0f, 28.0f}},
        {"seventeen rows", {5.5f, 50.5f, 12.0f}, {2.5f, 10.0f, 19.5f}},
        {"beyond every side", {-20.0f, 80.0f, 30.0f}, {-5.0f, 10.0f, 40.0f}},
        {"the last pixel of the buffers", {60.9f, 35.0f, 61.4f}, {12.0f, 28.9f, 28.9f}},
        {"a row across the whole target", {-30.0f, 200.0f, -40.0f}, {4.2f, 4.4f, 5.6f}},
    };
    texture_t pow2(16, 8, 32), odd(5, 3, 32);
    for (texture_t* t : {&pow2, &odd}) {
        for (uint32_t i = 0; i < t->width * t->height * 4; ++i) t->pixels[i] = static_cast<uint8_t>(i * 29 + 3);
    }
    auto fast = blank_screen(width, height), slow = blank_screen(width, height);
    const float a = static_cast<float>(width) / 2.0f, b = static_cast<float>(height) / 2.0f;
    const uint64_t rounds = std::max<uint64_t>(iterations(2400) / 80, 4);
    generator_t gen{std::mt19937_64(0xba7c + static_cast<uint64_t>(isa))};
    for (const shape_t& shape : shapes) {
        uint64_t drawn = 0;
        for (uint64_t round = 0; round < rounds; ++round) {
            const int mode = round % 4 < 2 ? 0 : 1;
            set_mode(*fast, mode);
            set_mode(*slow, mode);
            SCOPED_TRACE(testing::Message()
                         << span_isa_name(isa) << ", " << shape.name << ", round " << round << ", mode " << mode);
            std::generate_n(fast->framebuffer, width * height * 4, [&] { return static_cast<uint8_t>(gen.rng()); });
            fast->clear_zbuffer();
            for (int k = 0; k < 30; ++k) fast->zbuffer[gen.rng() % (width * height)] = gen.depth();
            std::memcpy(slow->framebuffer, fast->framebuffer, width * height * 4);
            std::memcpy(slow->zbuffer, fast->zbuffer, width * height * 4);
            fast->pixel_count = fast->triangle_count = slow->pixel_count = slow->triangle_count = 0;
            vertex_t v[3];
            for (int k = 0; k < 3; ++k) {
                v[k] = gen.clip_corner(1.0f);
                const float w = v[k].position.w;
                // The clip position whose viewport mapping lands on the shape's corner.
                v[k].position.x = ((shape.x[k] + 0.5f) / a - 1.0f) * w;
                v[k].position.y = (1.0f - (shape.y[k] + 0.5f) / b) * w;
                v[k].texcoord = vec4_t(gen.uniform(-2.0f, 3.0f), gen.uniform(-2.0f, 3.0f), 0, 0);
            }
            const texture_t& tex = round % 2 == 0 ? pow2 : odd;
            const screen_triangle_t st = to_screen_triangle(*fast, v[0], v[1], v[2]);
            rasterise_triangle(*fast, st.top, st.middle, st.bottom, st.middle_is_left, tex);
            reference::triangle(*slow, st.top, st.middle, st.bottom, st.middle_is_left, tex);
            ASSERT_TRUE(same_picture(*fast, *slow));
            drawn += fast->pixel_count;
        }
        EXPECT_GT(drawn, 0u) << span_isa_name(isa) << ", " << shape.name;
    }
}

TEST_P(Differential, SmallTrianglesAtTheBordersMatchTheReference) {
    // Triangles of a few pixels around every side and corner of targets of even and odd size,
    // their corners often on half pixels (rounding ties) and on the first and last pixel
    // centres, so that spans end exactly on, just inside and just beyond the borders.
    struct target_t {
        const char* name;
        uint32_t width, height;
    };
    const target_t targets[] = {{"even", 20, 12}, {"odd", 21, 13}};
    texture_t tex(4, 4, 32);
    for (uint32_t i = 0; i < 4 * 4 * 4; ++i) tex.pixels[i] = static_cast<uint8_t>(i * 41 + 5);
    const uint64_t rounds = std::max<uint64_t>(iterations(2400) / 8, 16);
    for (const target_t& target : targets) {
        generator_t gen{std::mt19937_64(0xb0d + static_cast<uint64_t>(isa))};
        auto fast = blank_screen(target.width, target.height), slow = blank_screen(target.width, target.height);
        const float last_x = static_cast<float>(target.width - 1), last_y = static_cast<float>(target.height - 1);
        // Around the first or the last centre, or anywhere between.
        const auto near = [&](float last) {
            const int where = gen.pick(3);
            return (where == 0 ? 0.0f : where == 1 ? last : gen.uniform(0.0f, last)) + gen.uniform(-1.5f, 1.5f);
        };
        const auto now_and_then_on_a_half = [&](float v) { return gen.pick(3) == 0 ? std::round(v * 2.0f) / 2.0f : v; };
        const size_t n = size_t{target.width} * target.height;
        uint64_t drawn = 0;
        for (uint64_t round = 0; round < rounds; ++round) {
            SCOPED_TRACE(testing::Message() << span_isa_name(isa) << ", " << target.name << ", round " << round);
            const int mode = gen.pick(2) == 0 ? 0 : gen.pick(8);
            set_mode(*fast, mode);
            set_mode(*slow, mode);
            std::generate_n(fast->framebuffer, n * 4, [&] { return static_cast<uint8_t>(gen.rng()); });
            std::memcpy(slow->framebuffer, fast->framebuffer, n * 4);
            fast->clear_zbuffer();
            slow->clear_zbuffer();
            fast->pixel_count = fast->triangle_count = slow->pixel_count = slow->triangle_count = 0;
            for (int t = 0; t < 16; ++t) {
                const float x = near(last_x), y = near(last_y);
                vertex_t v[3];
                for (vertex_t& c : v) {
                    c = gen.clip_corner(1.0f);
                    c.position =
                        vec4_t(now_and_then_on_a_half(x + gen.uniform(-2.5f, 2.5f)),
                               now_and_then_on_a_half(y + gen.uniform(-3.0f, 3.0f)), gen.depth(), c.position.w);
                }
                const corner_order_t o = order_corners(false, v[0], v[1], v[2]);
                rasterise_triangle(*fast, v[o.top], v[o.middle], v[o.bottom], o.middle_is_left, tex);
                reference::triangle(*slow, v[o.top], v[o.middle], v[o.bottom], o.middle_is_left, tex);
            }
            ASSERT_TRUE(same_picture(*fast, *slow));
            drawn += fast->pixel_count;
        }
        // The triangles reach about one pixel each: a walk that lost its rows would show here.
        EXPECT_GT(drawn, rounds * 8) << span_isa_name(isa) << ", " << target.name;
    }
}

TEST_P(Differential, AbsurdCornersStayInsideAndFinish) {
    // Every write is bounds-checked (the sanitizer build watches both buffers) and the walk is
    // bounded, so each call returns promptly whatever the corners hold, in every mode.
    const float values[] = {NAN, INFINITY, -INFINITY, 1.0e30f, -1.0e30f, 3.0e9f, -7.0e6f, 0.0f, 0.5f};
    texture_t tex(4, 4, 32);
    auto s = blank_screen(37, 23);
    for (int mode = 0; mode < 8; ++mode) {
        set_mode(*s, mode);
        for (float a : values) {
            s->clear_zbuffer();
            for (float b : values) {
                rasterise_triangle(*s, corner(a, -b), corner(b, 5.0f), corner(-a, b), 0, tex);
                rasterise_triangle(*s, corner(-5.0f, a), corner(b, 10.0f, a), corner(3.0f, 1.0e30f), -1, tex);
                draw_triangle(*s, corner(a, 2.0f, b, b, vec4_t(a, b, 0.5f, b)), corner(-0.5f, 0.5f),
                              corner(0.5f, -0.5f), tex);
                draw_triangle(*s, corner(0.2f, 0.3f, 0.5f, a), corner(0.5f, -0.5f, 0.5f, b), corner(-0.5f, b),
                              tex);  // w = 0, w < 0
                clip_and_draw(*s, corner(a, b, 0, 1), corner(-b, 0.5f, a, b), corner(0.5f, -0.5f), tex);
                draw_if_inside(*s, corner(a, b, 0, b), corner(0.5f, 0.5f), corner(-0.5f, a, 0, a), tex);
            }
        }
    }
    EXPECT_LE(s->pixel_count, s->triangle_count * 37u * 23u);
    // A triangle reaching 1e30 pixels beyond the target still fills exactly the visible area, once.
    auto t = blank_screen(64, 48);
    rasterise_triangle(*t, corner(-1.0e30f, -1.0e30f), corner(1.0e30f, 20), corner(-1.0e30f, 1.0e30f), 0, tex);
    EXPECT_EQ(t->pixel_count, 64u * 48u);
}

TEST(DifferentialChains, ExactChainsMatchTheSerialLoop) {
    // Values and steps at the boundaries: zeros of both signs, subnormals, binade edges, steps
    // of exactly half an ulp (ties), infinities and NaN; then random chains across binades.
    std::vector<float> special = {0.0f,
                                  1.0e-45f,
                                  1.0e-39f,
                                  std::ldexp(1.0f, -126),
                                  std::ldexp(1.0f, -101),
                                  std::ldexp(1.0f, -100),
                                  std::ldexp(1.0f, -25),
                                  std::ldexp(3.0f, -25),
                                  std::ldexp(1.0f, -24),
                                  std::ldexp(1.0f, -23),
                                  0.5f,
                                  1.0f,
                                  2.0f,
                                  3.0e38f,
                                  INFINITY,
                                  NAN,
                                  std::nextafter(1.0f, 2.0f),
                                  std::nextafter(1.0f, 0.0f),
                                  std::nextafter(0.5f, 0.0f),
                                  0.1f,
                                  1.0e37f};
    for (size_t i = 0, n = special.size(); i < n; ++i) special.push_back(-special[i]);
    std::vector<float> out(301);
    // Equal bits, or both NaN (which NaN an addition of two returns depends on operand order).
    const auto same = [](float a, float b) {
        return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b) || (a != a && b != b);
    };
    const auto check = [&](float v, float d, int32_t n) {
        const float end = span_chain::fill(v, d, n, out.data());
        float s = v;
        bool ok = true;
        for (int32_t k = 0; k < n; s += d, ++k) ok = ok && same(s, out[static_cast<size_t>(k)]);
        if (ok && same(s, end) && same(s, span_chain::skip(v, d, n))) return testing::AssertionSuccess();
        return testing::AssertionFailure() << std::hexfloat << v << " + " << d << ", " << n;
    };
    for (float v : special) {
        for (float d : special) {
            for (int32_t n : {0, 1, 2, 3, 9, 200}) ASSERT_TRUE(check(v, d, n));
        }
    }
    std::mt19937_64 rng(2024);
    for (uint64_t i = 0, chains = iterations(40000); i < chains; ++i) {
        const float scale = std::ldexp(1.0f, -static_cast<int>(rng() % 20)), sign = rng() % 2 ? 1.0f : -1.0f;
        const float v = rng() % 2 ? std::bit_cast<float>(static_cast<uint32_t>(rng()))
                                  : static_cast<float>(rng() % 2000000) * scale * sign;
        int e = 0;
        std::frexp(v, &e);
        // Whole multiples of half an ulp of v (ties and exact steps), a fraction of v, or small steps.
        const float steps[] = {std::ldexp(static_cast<float>(static_cast<int>(rng() % 9) - 4), e - 25),
                               v * std::ldexp(rng() % 2 ? 1.0f : -1.0f, -static_cast<int>(rng() % 30)),
                               static_cast<float>(static_cast<int>(rng() % 2001) - 1000) * 1.0e-5f * scale};
        ASSERT_TRUE(check(v, steps[rng() % 3], static_cast<int32_t>(rng() % 300)));
    }
}
