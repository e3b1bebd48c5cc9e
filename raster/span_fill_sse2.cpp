// The SSE2 span fill path: vertex-colour rows four at a time and textured spans, four pixels per register.
#include "raster/span_fill_paths.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>

#include <cstring>

#include "raster/span_lanes.h"
#include "surfaces/pixel_blend.h"

namespace {

struct sse2_lanes {
    using f = __m128;
    using i = __m128i;
    using m = __m128;  // all bits set in the lanes chosen
    static constexpr int width = 4;
    static f load(const float* p) { return _mm_load_ps(p); }
    static f loadu(const float* p) { return _mm_loadu_ps(p); }
    static void store(float* p, f v) { _mm_store_ps(p, v); }
    static void storeu(float* p, f v) { _mm_storeu_ps(p, v); }
    static i load_i(const uint32_t* p) { return _mm_load_si128(reinterpret_cast<const __m128i*>(p)); }
    static void store_i(uint32_t* p, i v) { _mm_store_si128(reinterpret_cast<__m128i*>(p), v); }
    static i loadu_i(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void storeu_i(uint8_t* p, i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    static f add(f a, f b) { return _mm_add_ps(a, b); }
    static f sub(f a, f b) { return _mm_sub_ps(a, b); }
    static f div(f a, f b) { return _mm_div_ps(a, b); }
    static m or_m(m a, m b) { return _mm_or_ps(a, b); }
    static m eq_i(i a, i b) { return _mm_castsi128_ps(_mm_cmpeq_epi32(a, b)); }
    // All bits set in lanes 0 .. count - 1.
    static m lanes_below(int count) {
        return _mm_castsi128_ps(_mm_cmplt_epi32(_mm_setr_epi32(0, 1, 2, 3), _mm_set1_epi32(count)));
    }
    // No gather: the four texels one by one, put together in registers (a vector load of words
    // just stored one by one would wait for the stores to drain).
    static i fetch(const uint8_t* texels, uint32_t row, i tx, i ty) {
        alignas(16) uint32_t x[4];
        alignas(16) uint32_t y[4];
        store_i(x, tx);
        store_i(y, ty);
        const auto word = [&](int k) {
            uint32_t w = 0;
            std::memcpy(&w, texels + (static_cast<size_t>(y[k]) * row + x[k]) * 4, 4);
            return static_cast<int>(w);
        };
        return _mm_setr_epi32(word(0), word(1), word(2), word(3));
    }
    static f splat(float v) { return _mm_set1_ps(v); }
    static i splat_i(int v) { return _mm_set1_epi32(v); }
    static m not_ge(f a, f b) { return _mm_cmpnge_ps(a, b); }
    static m and_m(m a, m b) { return _mm_and_ps(a, b); }
    static int mask_bits(m k) { return _mm_movemask_ps(k); }
    static f select_f(m k, f yes, f no) { return _mm_or_ps(_mm_and_ps(k, yes), _mm_andnot_ps(k, no)); }
    static i select_i(m k, i yes, i no) {
        const i mi = _mm_castps_si128(k);
        return _mm_or_si128(_mm_and_si128(mi, yes), _mm_andnot_si128(mi, no));
    }
    static f mul(f a, f b) { return _mm_mul_ps(a, b); }
    static i to_int(f a) { return _mm_cvtps_epi32(a); }
    static f to_float(i a) { return _mm_cvtepi32_ps(a); }
    static i and_i(i a, i b) { return _mm_and_si128(a, b); }
    static i or_i(i a, i b) { return _mm_or_si128(a, b); }
    static i add_i(i a, i b) { return _mm_add_epi32(a, b); }
    static i sub_i(i a, i b) { return _mm_sub_epi32(a, b); }
    // Sums of the products of signed 16-bit pairs, one per 32-bit lane.
    static i madd16(i a, i b) { return _mm_madd_epi16(a, b); }
    // Byte k of each lane moved to bits 16..23, every other bit cleared.
    template <int k>
    static i byte_high(i a) {
        const i third = _mm_set1_epi32(0xFF0000);
        if constexpr (k == 0) return _mm_slli_epi32(_mm_and_si128(a, _mm_set1_epi32(0xFF)), 16);
        if constexpr (k == 1) return _mm_and_si128(_mm_slli_epi32(a, 8), third);
        if constexpr (k == 2) return _mm_and_si128(a, third);
        return _mm_and_si128(_mm_srli_epi32(a, 8), third);
    }
    template <int n>
    static i srl(i a) {
        return _mm_srli_epi32(a, n);
    }
    // Byte k of each lane, 0..255.
    template <int k>
    static i byte(i a) {
        if constexpr (k == 3) return _mm_srli_epi32(a, 24);
        return _mm_and_si128(_mm_srli_epi32(a, 8 * k), _mm_set1_epi32(0xFF));
    }
    // b / 255 for bytes b, with the bits of the division (see byte_fraction_high).
    static f fraction(i bytes) {
        const f b = _mm_cvtepi32_ps(bytes);
        return _mm_add_ps(_mm_mul_ps(b, _mm_set1_ps(byte_fraction_high)),
                          _mm_mul_ps(b, _mm_set1_ps(byte_fraction_low)));
    }
    // The low bytes of four sets of lanes as blue, green, red, alpha bytes of one pixel per lane.
    static i pack_low_bytes(i b, i g, i r, i a) {
        const i ff = _mm_set1_epi32(0xFF);
        return _mm_or_si128(_mm_or_si128(_mm_and_si128(b, ff), _mm_slli_epi32(_mm_and_si128(g, ff), 8)),
                            _mm_or_si128(_mm_slli_epi32(_mm_and_si128(r, ff), 16), _mm_slli_epi32(a, 24)));
    }
    template <int n>
    static i sll(i a) {
        return _mm_slli_epi32(a, n);
    }
};

// One pixel from its values, as the rules are written: the tails of the wide loops.
uint32_t blend_one(uint8_t* px, float* depth, const float* c, const float* q) {
    if (!(q[0] >= *depth) && !(c[3] >= 1.0f)) {
        *depth = q[0];
        blend_vertex_colour(px, pixel_channel_byte(c[3]), pixel_channel_byte(c[0]), pixel_channel_byte(c[1]),
                            pixel_channel_byte(c[2]), q[1]);
        return 1;
    }
    return 0;
}

uint32_t fill_four_rows_sse2(const span_row_t* rows, int row_count, const interpolants_t& steps) {
    const span_row_t none{};
    const span_row_t* row[4];
    for (int k = 0; k < 4; ++k) row[k] = k < row_count ? &rows[k] : &none;
    const auto record = [](const interpolants_t& st) { return _mm_loadu_ps(&st.at[interpolant::red]); };
    const auto depth_record = [](const interpolants_t& st) {
        return _mm_setr_ps(st.at[interpolant::z], st.at[interpolant::shade], 0.0f, 0.0f);
    };
    __m128 c0 = record(row[0]->start), c1 = record(row[1]->start), c2 = record(row[2]->start),
           c3 = record(row[3]->start);
    __m128 q0 = depth_record(row[0]->start), q1 = depth_record(row[1]->start);
    __m128 q2 = depth_record(row[2]->start), q3 = depth_record(row[3]->start);
    const __m128 dc = record(steps);
    const __m128 dq = depth_record(steps);
    int64_t longest = 0;
    for (int k = 0; k < row_count; ++k) longest = rows[k].count > longest ? rows[k].count : longest;

    row_pair_chunk_t buf[2];
    uint32_t drawn = 0;
    for (int64_t done = 0; done < longest; done += batch_chunk) {
        int32_t m = 0;
        for (int k = 0; k < row_count; ++k) m = chunk_count(rows[k], done) > m ? chunk_count(rows[k], done) : m;
        for (int32_t j = 0; j < m; ++j) {
            _mm_store_ps(buf[0].c[j], c0);
            _mm_store_ps(buf[0].c[j] + 4, c1);
            _mm_store_ps(buf[1].c[j], c2);
            _mm_store_ps(buf[1].c[j] + 4, c3);
            _mm_store_ps(buf[0].q[j], q0);
            _mm_store_ps(buf[0].q[j] + 4, q1);
            _mm_store_ps(buf[1].q[j], q2);
            _mm_store_ps(buf[1].q[j] + 4, q3);
            c0 = _mm_add_ps(c0, dc);
            c1 = _mm_add_ps(c1, dc);
            c2 = _mm_add_ps(c2, dc);
            c3 = _mm_add_ps(c3, dc);
            q0 = _mm_add_ps(q0, dq);
            q1 = _mm_add_ps(q1, dq);
            q2 = _mm_add_ps(q2, dq);
            q3 = _mm_add_ps(q3, dq);
        }
        for (int k = 0; k < row_count; ++k) {
            const int32_t n = chunk_count(rows[k], done);
            if (n == 0) continue;
            const row_pair_chunk_t& b = buf[k / 2];
            const int lane = (k % 2) * 4;
            drawn +=
                blend_row_sse2(rows[k].pixels + done * 4, rows[k].depth + done, &b.c[0][lane], &b.q[0][lane], 0, n);
        }
    }
    return drawn;
}

}  // namespace

uint32_t blend_row_sse2(uint8_t* pixels, float* depth, const float* c, const float* q, int32_t from, int32_t n) {
    uint32_t drawn = 0;
    int32_t i = from;
    for (; i + 4 <= n; i += 4) {
        __m128 r = _mm_load_ps(c + 8 * i);
        __m128 g = _mm_load_ps(c + 8 * (i + 1));
        __m128 b = _mm_load_ps(c + 8 * (i + 2));
        __m128 a = _mm_load_ps(c + 8 * (i + 3));
        _MM_TRANSPOSE4_PS(r, g, b, a);
        const __m128 q01 = _mm_unpacklo_ps(_mm_load_ps(q + 8 * i), _mm_load_ps(q + 8 * (i + 1)));
        const __m128 q23 = _mm_unpacklo_ps(_mm_load_ps(q + 8 * (i + 2)), _mm_load_ps(q + 8 * (i + 3)));
        const __m128 z = _mm_movelh_ps(q01, q23);
        const __m128 s = _mm_movehl_ps(q23, q01);
        __m128 d = _mm_loadu_ps(depth + i);
        auto* p = reinterpret_cast<__m128i*>(pixels + static_cast<size_t>(i) * 4);
        __m128i f = _mm_loadu_si128(p);
        const int mask = blend_vertex_colour_lanes<sse2_lanes>(sse2_lanes::lanes_below(4), r, g, b, a, z, s, d, f);
        if (mask == 0) continue;
        _mm_storeu_ps(depth + i, d);
        _mm_storeu_si128(p, f);
        drawn += static_cast<uint32_t>(__builtin_popcount(static_cast<unsigned>(mask)));
    }
    for (; i < n; ++i) drawn += blend_one(pixels + static_cast<size_t>(i) * 4, depth + i, c + 8 * i, q + 8 * i);
    return drawn;
}

uint32_t fill_rows_sse2(const span_row_t* rows, int row_count, const interpolants_t& steps) {
    uint32_t drawn = 0;
    for (int k = 0; k < row_count; k += 4)
        drawn += fill_four_rows_sse2(rows + k, row_count - k < 4 ? row_count - k : 4, steps);
    return drawn;
}

uint32_t blend_texels_sse2(uint8_t* pixels, float* depth, const texture_chunk_t& v, int32_t n,
                           const texel_sampler_t& sampler) {
    return blend_texels_lanes<sse2_lanes>(pixels, depth, v, n, sampler);
}
#endif
