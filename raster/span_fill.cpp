// Filled spans: the portable path, the textured fill and the choice of path at run time.
#include "raster/span_fill.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "math/nearest.h"
#include "raster/span_chain.h"
#include "raster/span_fill_paths.h"
#include "surfaces/pixel_blend.h"
#include "surfaces/texture.h"

#if defined(__x86_64__) || defined(__i386__)
#define SOFTCUBE_X86 1
#endif

namespace {

// The portable path cuts a span into passes of this many pixels, whose values live in arrays:
// 128 pixels keep the arrays on the stack and in the first-level cache, and the per-pass
// set-up small.
constexpr int32_t portable_pass_pixels = 128;

// The colour, depth and shade of a vertex-colour pass.
struct alignas(32) portable_colours_t {
    float r[portable_pass_pixels];
    float g[portable_pass_pixels];
    float b[portable_pass_pixels];
    float a[portable_pass_pixels];
    float z[portable_pass_pixels];
    float s[portable_pass_pixels];
};

// Every interpolant of a textured pass, quantity by quantity in interpolant order.
struct alignas(32) portable_values_t {
    float v[interpolant::count][portable_pass_pixels];
};

// Pixel by pixel, as the rules are written.
uint32_t blend_portable(uint8_t* pixels, float* depth, const portable_colours_t& v, int32_t n) {
    uint32_t drawn = 0;
    for (int32_t i = 0; i < n; ++i) {
        if (!(v.z[i] >= depth[i]) && !(v.a[i] >= 1.0f)) {
            depth[i] = v.z[i];
            blend_vertex_colour(pixels + static_cast<size_t>(i) * 4, pixel_channel_byte(v.a[i]),
                                pixel_channel_byte(v.r[i]), pixel_channel_byte(v.g[i]), pixel_channel_byte(v.b[i]),
                                v.s[i]);
            ++drawn;
        }
    }
    return drawn;
}

#if SOFTCUBE_X86
// The AVX2 path also uses fused multiply-adds (only where they round exactly as the separate
// operations do), so it needs both.
bool cpu_has_avx2_and_fma() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0 && __builtin_cpu_supports("fma") != 0;
}

// The AVX-512 path needs the foundation and the byte, word, doubleword and short-vector
// extensions on top of AVX2 (the runtime check includes the operating system's support for
// the wide registers).
bool cpu_has_avx512() {
    __builtin_cpu_init();
    return cpu_has_avx2_and_fma() && __builtin_cpu_supports("avx512f") != 0 &&
           __builtin_cpu_supports("avx512bw") != 0 && __builtin_cpu_supports("avx512vl") != 0 &&
           __builtin_cpu_supports("avx512dq") != 0;
}
#endif

span_isa_t supported(span_isa_t isa) {
#if SOFTCUBE_X86
    static const bool avx2 = cpu_has_avx2_and_fma();
    static const bool avx512 = cpu_has_avx512();
    const span_isa_t widest = avx512 ? span_isa_t::avx512 : avx2 ? span_isa_t::avx2 : span_isa_t::sse2;
    if (isa == span_isa_t::best) return widest;
    if ((isa == span_isa_t::avx512 && !avx512) || (isa == span_isa_t::avx2 && !avx2)) return widest;
    return isa;
#else
    (void)isa;
    return span_isa_t::portable;
#endif
}

using rows_fn = uint32_t (*)(const span_row_t* rows, int row_count, const interpolants_t& steps);

// Without wide registers: each row on its own, its chains taken a run at a time.
uint32_t fill_rows_portable(const span_row_t* rows, int row_count, const interpolants_t& steps) {
    uint32_t drawn = 0;
    for (int k = 0; k < row_count; ++k) {
        drawn += fill_vertex_colour_span(rows[k].pixels, rows[k].depth, rows[k].count, rows[k].start, steps);
    }
    return drawn;
}

using textured_rows_fn = uint32_t (*)(const span_row_t* rows, int row_count, const interpolants_t& steps,
                                      const texel_sampler_t& sampler);

// The path in use, chosen on first use (not during static initialisation, whose order
// across files is undefined by the language): the one SOFTCUBE_ISA names, so that every program that draws
// (the demo, the benchmarks, the tests) can be held to one path, else the widest.
struct dispatch_t {
    span_isa_t isa;
    rows_fn rows;
    // Null: textured rows are filled one at a time, as they are on every path where the wide
    // lanes cannot sample the texture (see texel_sampler_t::lanes).
    textured_rows_fn textured_rows;
    void choose(span_isa_t wanted) {
        isa = supported(wanted);
        switch (isa) {
#if SOFTCUBE_X86
            case span_isa_t::avx512:
                rows = avx512::fill_vertex_colour_rows;
                textured_rows = avx512::fill_textured_rows;
                break;
            case span_isa_t::avx2:
                rows = avx2::fill_vertex_colour_rows;
                textured_rows = avx2::fill_textured_rows;
                break;
            case span_isa_t::sse2:
                rows = sse2::fill_vertex_colour_rows;
                textured_rows = sse2::fill_textured_rows;
                break;
#endif
            default:
                rows = fill_rows_portable;
                textured_rows = nullptr;
                break;
        }
    }
};

dispatch_t& dispatch() {
    static dispatch_t d = [] {
        const span_isa_request_t request = span_isa_requested(std::getenv("SOFTCUBE_ISA"), supported(span_isa_t::best));
        if (!request.warning.empty()) std::fprintf(stderr, "softcube: %s\n", request.warning.c_str());
        dispatch_t first{};
        first.choose(request.isa);
        return first;
    }();
    return d;
}

// The colour, depth and shade chains of the next n pixels; moves the state on by n pixels.
void colour_chains(interpolants_t& s, const interpolants_t& d, int32_t n, portable_colours_t& v) {
    float* out[] = {v.r, v.g, v.b, v.a, v.z, v.s};
    for (int i = interpolant::red; i <= interpolant::shade; ++i) s[i] = span_chain::fill(s[i], d[i], n, out[i]);
}

// The texel bytes at (tx, ty), already reduced into the texture. Textures with fewer than 4
// bytes per texel are padded with zeros into scratch instead of being read past their end.
const uint8_t* texel_at(const texture_t& texture, uint32_t tx, uint32_t ty, uint8_t* scratch) {
    const uint32_t bpt = texture.get_bytes_per_texel();
    const uint8_t* src = texture.pixels + (static_cast<size_t>(ty) * texture.width + tx) * bpt;
    if (bpt >= 4) return src;
    std::memset(scratch, 0, 4);
    std::memcpy(scratch, src, bpt);
    return scratch;
}

}  // namespace

uint32_t fill_vertex_colour_span(uint8_t* pixels, float* depth, int64_t count, const interpolants_t& start,
                                 const interpolants_t& steps) {
    // u/w, v/w and 1/w are not read in this mode, so they are not stepped either.
    interpolants_t s = start;
    portable_colours_t v;
    uint32_t drawn = 0;
    for (int64_t done = 0; done < count; done += portable_pass_pixels) {
        const auto n = static_cast<int32_t>(count - done < portable_pass_pixels ? count - done : portable_pass_pixels);
        colour_chains(s, steps, n, v);
        drawn += blend_portable(pixels + done * 4, depth + done, v, n);
    }
    return drawn;
}

namespace {

texel_sampler_t sampler_of(const texture_t& texture) {
    texel_sampler_t sampler;
    sampler.texture = &texture;
    if (texture.pixels != nullptr && texture.width != 0 && texture.height != 0) {
        sampler.pixels = texture.pixels;
        sampler.width = texture.width;
        sampler.height = texture.height;
        sampler.scale_u = static_cast<float>(texture.width);
        sampler.scale_v = static_cast<float>(texture.height);
        // x % n is x & (n - 1) for a power of two n; other sizes divide.
        sampler.pow2 = (texture.width & (texture.width - 1)) == 0 && (texture.height & (texture.height - 1)) == 0;
        sampler.lanes = texture.get_bytes_per_texel() == 4 &&
                        static_cast<uint64_t>(texture.width) * texture.height <= uint64_t{INT32_MAX};
    }
    return sampler;
}

// Textured pixels 0 .. n of a pass, one by one as the rules are written.
uint32_t blend_texels_portable(uint8_t* pixels, float* depth, const portable_values_t& values, int32_t n,
                               const texel_sampler_t& sampler) {
    const uint8_t blank[4] = {0, 0, 0, 0};
    uint8_t scratch[4];
    uint32_t drawn = 0;
    for (int32_t i = 0; i < n; ++i) {
        const auto value = [&](int q) { return values.v[q][i]; };
        if (!(value(interpolant::z) >= depth[i]) && !(value(interpolant::alpha) >= 1.0f)) {
            depth[i] = value(interpolant::z);
            const float w = 1.0f / value(interpolant::one_over_w);
            const float u = w * value(interpolant::u_over_w);
            const float t = w * value(interpolant::v_over_w);
            const uint8_t* texel = blank;
            if (sampler.pixels != nullptr) {
                const uint32_t ux = texel_coordinate(u * sampler.scale_u + 0.5f);
                const uint32_t uy = texel_coordinate(t * sampler.scale_v + 0.5f);
                const uint32_t tx = sampler.pow2 ? ux & (sampler.width - 1) : ux % sampler.width;
                const uint32_t ty = sampler.pow2 ? uy & (sampler.height - 1) : uy % sampler.height;
                texel = texel_at(*sampler.texture, tx, ty, scratch);
            }
            blend_texel(pixels + static_cast<size_t>(i) * 4, texel,
                        vec4_t(value(interpolant::red), value(interpolant::green), value(interpolant::blue),
                               value(interpolant::alpha)),
                        value(interpolant::shade));
            ++drawn;
        }
    }
    return drawn;
}

// One textured row on its own: its nine chains stepped serially a pass at a time (independent
// serial additions, several in flight at once), then the pixels one by one.
uint32_t fill_textured_span(const span_row_t& row, const interpolants_t& steps, const texel_sampler_t& sampler) {
    portable_values_t v;
    interpolants_t s = row.start;
    uint32_t drawn = 0;
    for (int64_t done = 0; done < row.count; done += portable_pass_pixels) {
        const auto n =
            static_cast<int32_t>(row.count - done < portable_pass_pixels ? row.count - done : portable_pass_pixels);
        for (int32_t i = 0; i < n; ++i) {
            for (int q = 0; q < interpolant::count; ++q) {
                v.v[q][i] = s.at[q];
                s.at[q] += steps.at[q];
            }
        }
        drawn += blend_texels_portable(row.pixels + done * 4, row.depth + done, v, n, sampler);
    }
    return drawn;
}

}  // namespace

uint32_t fill_textured_rows(const span_row_t* rows, int row_count, const interpolants_t& steps,
                            const texture_t& texture) {
    const texel_sampler_t sampler = sampler_of(texture);
    const textured_rows_fn together = dispatch().textured_rows;
    if (together != nullptr && sampler.lanes) return together(rows, row_count, steps, sampler);
    uint32_t drawn = 0;
    for (int k = 0; k < row_count; ++k) drawn += fill_textured_span(rows[k], steps, sampler);
    return drawn;
}

void texel_coordinates_by_lane(uint32_t* x, uint32_t* y, const float* u, const float* v, int lanes, int ordinary,
                               const texel_sampler_t& sampler) {
    for (int k = 0; k < lanes; ++k) {
        if (((ordinary >> k) & 1) == 0) {
            x[k] = texel_coordinate(u[k]);
            y[k] = texel_coordinate(v[k]);
        }
        if (!sampler.pow2) {
            x[k] %= sampler.width;
            y[k] %= sampler.height;
        }
    }
}

uint32_t fill_vertex_colour_rows(const span_row_t* rows, int row_count, const interpolants_t& steps) {
    return dispatch().rows(rows, row_count, steps);
}

span_isa_t span_isa() { return dispatch().isa; }

span_isa_t set_span_isa(span_isa_t isa) {
    dispatch().choose(isa);
    return dispatch().isa;
}

span_isa_request_t span_isa_requested(const char* text, span_isa_t widest) {
    if (text == nullptr || *text == '\0') return {widest, ""};
    for (const span_isa_t isa : {span_isa_t::portable, span_isa_t::sse2, span_isa_t::avx2, span_isa_t::avx512}) {
        if (std::strcmp(text, span_isa_name(isa)) != 0) continue;
        // The paths are ordered: a processor that runs one runs every narrower one.
        if (isa <= widest) return {isa, ""};
        return {widest, std::string("SOFTCUBE_ISA=") + text + " is not supported by this processor; using " +
                            span_isa_name(widest)};
    }
    return {widest, std::string("SOFTCUBE_ISA=") + text +
                        " is not a span path (portable, sse2, avx2 or avx512, or empty for the best); using " +
                        span_isa_name(widest)};
}

const char* span_isa_name(span_isa_t isa) {
    switch (isa) {
        case span_isa_t::portable:
            return "portable";
        case span_isa_t::sse2:
            return "sse2";
        case span_isa_t::avx2:
            return "avx2";
        case span_isa_t::avx512:
            return "avx512";
        case span_isa_t::best:
            break;
    }
    return "best";
}
