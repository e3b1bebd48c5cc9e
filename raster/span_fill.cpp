// Filled spans in chunks: exact interpolant chains, then the depth test and blends several pixels at a time.
#include "raster/span_fill.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "math/nearest.h"
#include "raster/span_chain.h"
#include "surfaces/pixel_blend.h"
#include "surfaces/texture.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define SOFTCUBE_X86 1
#endif

namespace {

// A span is cut into chunks whose values live in these arrays; 128 pixels keep the arrays
// on the stack and in the first-level cache, and the per-chunk set-up of the chains small.
constexpr int32_t chunk = 128;

struct alignas(32) colour_chunk_t {
    float r[chunk];
    float g[chunk];
    float b[chunk];
    float a[chunk];
    float z[chunk];
    float s[chunk];
};

struct alignas(32) texture_chunk_t {
    colour_chunk_t c;
    float u_over_w[chunk];
    float v_over_w[chunk];
    float one_over_w[chunk];
};

using blend_fn = uint32_t (*)(uint8_t* pixels, float* depth, const colour_chunk_t& v, int32_t from, int32_t n);

// Pixel by pixel, as the rules are written; also the tail of the wider paths.
uint32_t blend_portable(uint8_t* pixels, float* depth, const colour_chunk_t& v, int32_t from, int32_t n) {
    uint32_t drawn = 0;
    for (int32_t i = from; i < n; ++i) {
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
// Why the lane operations give the scalar bits:
// - The test !(z >= depth) && !(alpha >= 1) is the "not greater or equal" compare, which is
//   true for unordered (NaN) operands just as the negated C++ comparison is.
// - cvtps2dq rounds with the current mode (to nearest, ties to even, as nearbyint does) and
//   turns NaN and out-of-range values into 0x80000000, whose low byte is 0: exactly what
//   low_byte_of_nearest gives. Products by 255 and by the shade are single multiplies, as in
//   the scalar code.
// - The blend products are of bytes (at most 255 * 255, and the two products of one channel
//   sum to at most 255 * 255), so 16-bit multiplies of 32-bit lanes whose upper halves are
//   zero give the exact 32-bit products.
// - The depth and pixel stores select whole lanes bit for bit, so untouched pixels and
//   depths keep their bits.

uint32_t blend_sse2(uint8_t* pixels, float* depth, const colour_chunk_t& v, int32_t from, int32_t n) {
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 k255 = _mm_set1_ps(255.0f);
    const __m128i ff = _mm_set1_epi32(0xFF);
    uint32_t drawn = 0;
    int32_t i = from;
    for (; i + 4 <= n; i += 4) {
        const __m128 z = _mm_load_ps(v.z + i);
        const __m128 d = _mm_loadu_ps(depth + i);
        const __m128 af = _mm_load_ps(v.a + i);
        const __m128 pass = _mm_and_ps(_mm_cmpnge_ps(z, d), _mm_cmpnge_ps(af, one));
        const int mask = _mm_movemask_ps(pass);
        if (mask == 0) continue;
        _mm_storeu_ps(depth + i, _mm_or_ps(_mm_and_ps(pass, z), _mm_andnot_ps(pass, d)));

        const __m128i a = _mm_and_si128(_mm_cvtps_epi32(_mm_mul_ps(af, k255)), ff);
        const __m128i r = _mm_and_si128(_mm_cvtps_epi32(_mm_mul_ps(_mm_load_ps(v.r + i), k255)), ff);
        const __m128i g = _mm_and_si128(_mm_cvtps_epi32(_mm_mul_ps(_mm_load_ps(v.g + i), k255)), ff);
        const __m128i b = _mm_and_si128(_mm_cvtps_epi32(_mm_mul_ps(_mm_load_ps(v.b + i), k255)), ff);
        auto* p = reinterpret_cast<__m128i*>(pixels + static_cast<size_t>(i) * 4);
        const __m128i f = _mm_loadu_si128(p);
        const __m128i keep = _mm_sub_epi32(ff, a);
        const auto mix = [&](__m128i c, __m128i old) {
            return _mm_srli_epi32(_mm_add_epi32(_mm_mullo_epi16(c, a), _mm_mullo_epi16(old, keep)), 8);
        };
        const __m128 s = _mm_load_ps(v.s + i);
        const auto shaded = [&](__m128i c) {
            return _mm_and_si128(_mm_cvtps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(c), s)), ff);
        };
        const __m128i na = mix(a, _mm_srli_epi32(f, 24));
        const __m128i nr = shaded(mix(r, _mm_and_si128(_mm_srli_epi32(f, 16), ff)));
        const __m128i ng = shaded(mix(g, _mm_and_si128(_mm_srli_epi32(f, 8), ff)));
        const __m128i nb = shaded(mix(b, _mm_and_si128(f, ff)));
        const __m128i out = _mm_or_si128(_mm_or_si128(nb, _mm_slli_epi32(ng, 8)),
                                         _mm_or_si128(_mm_slli_epi32(nr, 16), _mm_slli_epi32(na, 24)));
        const __m128i keep_mask = _mm_castps_si128(pass);
        _mm_storeu_si128(p, _mm_or_si128(_mm_and_si128(keep_mask, out), _mm_andnot_si128(keep_mask, f)));
        drawn += static_cast<uint32_t>(std::popcount(static_cast<unsigned>(mask)));
    }
    return drawn + blend_portable(pixels, depth, v, i, n);
}

// (c * a + old * keep) >> 8 and low_byte_of_nearest(c * shade), eight lanes at a time.
__attribute__((target("avx2"))) inline __m256i mix_avx2(__m256i c, __m256i old, __m256i a, __m256i keep) {
    return _mm256_srli_epi32(_mm256_add_epi32(_mm256_mullo_epi16(c, a), _mm256_mullo_epi16(old, keep)), 8);
}
__attribute__((target("avx2"))) inline __m256i shaded_avx2(__m256i c, __m256 shade, __m256i ff) {
    return _mm256_and_si256(_mm256_cvtps_epi32(_mm256_mul_ps(_mm256_cvtepi32_ps(c), shade)), ff);
}

__attribute__((target("avx2"))) uint32_t blend_avx2(uint8_t* pixels, float* depth, const colour_chunk_t& v,
                                                    int32_t from, int32_t n) {
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 k255 = _mm256_set1_ps(255.0f);
    const __m256i ff = _mm256_set1_epi32(0xFF);
    uint32_t drawn = 0;
    int32_t i = from;
    for (; i + 8 <= n; i += 8) {
        const __m256 z = _mm256_load_ps(v.z + i);
        const __m256 d = _mm256_loadu_ps(depth + i);
        const __m256 af = _mm256_load_ps(v.a + i);
        const __m256 pass = _mm256_and_ps(_mm256_cmp_ps(z, d, _CMP_NGE_UQ), _mm256_cmp_ps(af, one, _CMP_NGE_UQ));
        const int mask = _mm256_movemask_ps(pass);
        if (mask == 0) continue;
        _mm256_storeu_ps(depth + i, _mm256_blendv_ps(d, z, pass));

        const __m256i a = _mm256_and_si256(_mm256_cvtps_epi32(_mm256_mul_ps(af, k255)), ff);
        const __m256i r = _mm256_and_si256(_mm256_cvtps_epi32(_mm256_mul_ps(_mm256_load_ps(v.r + i), k255)), ff);
        const __m256i g = _mm256_and_si256(_mm256_cvtps_epi32(_mm256_mul_ps(_mm256_load_ps(v.g + i), k255)), ff);
        const __m256i b = _mm256_and_si256(_mm256_cvtps_epi32(_mm256_mul_ps(_mm256_load_ps(v.b + i), k255)), ff);
        auto* p = reinterpret_cast<__m256i*>(pixels + static_cast<size_t>(i) * 4);
        const __m256i f = _mm256_loadu_si256(p);
        const __m256i keep = _mm256_sub_epi32(ff, a);
        const __m256 s = _mm256_load_ps(v.s + i);
        const __m256i na = mix_avx2(a, _mm256_srli_epi32(f, 24), a, keep);
        const __m256i nr = shaded_avx2(mix_avx2(r, _mm256_and_si256(_mm256_srli_epi32(f, 16), ff), a, keep), s, ff);
        const __m256i ng = shaded_avx2(mix_avx2(g, _mm256_and_si256(_mm256_srli_epi32(f, 8), ff), a, keep), s, ff);
        const __m256i nb = shaded_avx2(mix_avx2(b, _mm256_and_si256(f, ff), a, keep), s, ff);
        const __m256i out = _mm256_or_si256(_mm256_or_si256(nb, _mm256_slli_epi32(ng, 8)),
                                            _mm256_or_si256(_mm256_slli_epi32(nr, 16), _mm256_slli_epi32(na, 24)));
        _mm256_storeu_si256(p, _mm256_blendv_epi8(f, out, _mm256_castps_si256(pass)));
        drawn += static_cast<uint32_t>(std::popcount(static_cast<unsigned>(mask)));
    }
    return drawn + blend_sse2(pixels, depth, v, i, n);
}

// ---- Batches of rows. Each row's running values live in one 4-float record per quantity
// group (red, green, blue, alpha) and (z, shade, 0, 0); the chain of additions steps the
// records of all rows of a batch side by side, and the records are written for every pixel.
// Rows are paired: pair p holds row 2p in floats 0..3 and row 2p + 1 in floats 4..7 of each
// entry, the layout in which one 256-bit register holds both rows.

constexpr int32_t batch_chunk = 64;

struct alignas(32) row_pair_chunk_t {
    float c[batch_chunk][8];
    float q[batch_chunk][8];
};

// One pixel from its values, as the rules are written: the tails of the wide loops.
inline uint32_t blend_one(uint8_t* px, float* depth, const float* c, const float* q) {
    if (!(q[0] >= *depth) && !(c[3] >= 1.0f)) {
        *depth = q[0];
        blend_vertex_colour(px, pixel_channel_byte(c[3]), pixel_channel_byte(c[0]), pixel_channel_byte(c[1]),
                            pixel_channel_byte(c[2]), q[1]);
        return 1;
    }
    return 0;
}

// Four pixels' test, depth select and blend from their values in lanes; d and f are the old
// depths and pixels, replaced by the new ones. Returns the lane mask of drawn pixels.
inline int blend4_sse2(__m128 r, __m128 g, __m128 b, __m128 a, __m128 z, __m128 s, __m128& d, __m128i& f) {
    const __m128 k255 = _mm_set1_ps(255.0f);
    const __m128i ff = _mm_set1_epi32(0xFF);
    const __m128 pass = _mm_and_ps(_mm_cmpnge_ps(z, d), _mm_cmpnge_ps(a, _mm_set1_ps(1.0f)));
    const int mask = _mm_movemask_ps(pass);
    if (mask == 0) return 0;
    d = _mm_or_ps(_mm_and_ps(pass, z), _mm_andnot_ps(pass, d));
    const __m128i ai = _mm_and_si128(_mm_cvtps_epi32(_mm_mul_ps(a, k255)), ff);
    const __m128i ri = _mm_and_si128(_mm_cvtps_epi32(_mm_mul_ps(r, k255)), ff);
    const __m128i gi = _mm_and_si128(_mm_cvtps_epi32(_mm_mul_ps(g, k255)), ff);
    const __m128i bi = _mm_and_si128(_mm_cvtps_epi32(_mm_mul_ps(b, k255)), ff);
    const __m128i keep = _mm_sub_epi32(ff, ai);
    const auto mix = [&](__m128i c, __m128i old) {
        return _mm_srli_epi32(_mm_add_epi32(_mm_mullo_epi16(c, ai), _mm_mullo_epi16(old, keep)), 8);
    };
    const auto shaded = [&](__m128i c) {
        return _mm_and_si128(_mm_cvtps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(c), s)), ff);
    };
    const __m128i na = mix(ai, _mm_srli_epi32(f, 24));
    const __m128i nr = shaded(mix(ri, _mm_and_si128(_mm_srli_epi32(f, 16), ff)));
    const __m128i ng = shaded(mix(gi, _mm_and_si128(_mm_srli_epi32(f, 8), ff)));
    const __m128i nb = shaded(mix(bi, _mm_and_si128(f, ff)));
    const __m128i out = _mm_or_si128(_mm_or_si128(nb, _mm_slli_epi32(ng, 8)),
                                     _mm_or_si128(_mm_slli_epi32(nr, 16), _mm_slli_epi32(na, 24)));
    const __m128i sel = _mm_castps_si128(pass);
    f = _mm_or_si128(_mm_and_si128(sel, out), _mm_andnot_si128(sel, f));
    return mask;
}

// Pixels from .. n of one row whose records start at c and q, 8 floats apart.
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
        const int mask = blend4_sse2(r, g, b, a, z, s, d, f);
        if (mask == 0) continue;
        _mm_storeu_ps(depth + i, d);
        _mm_storeu_si128(p, f);
        drawn += static_cast<uint32_t>(std::popcount(static_cast<unsigned>(mask)));
    }
    for (; i < n; ++i) drawn += blend_one(pixels + static_cast<size_t>(i) * 4, depth + i, c + 8 * i, q + 8 * i);
    return drawn;
}

inline int32_t chunk_count(const span_row_t& row, int64_t done) {
    const int64_t left = row.count - done;
    return static_cast<int32_t>(left <= 0 ? 0 : (left < batch_chunk ? left : batch_chunk));
}

uint32_t fill_four_rows_sse2(const span_row_t* rows, int row_count, const span_steps_t& steps) {
    const span_row_t none{};
    const span_row_t* row[4];
    for (int k = 0; k < 4; ++k) row[k] = k < row_count ? &rows[k] : &none;
    const auto record = [](const span_state_t& st) {
        return _mm_setr_ps(st.colour.x, st.colour.y, st.colour.z, st.colour.w);
    };
    const auto depth_record = [](const span_state_t& st) { return _mm_setr_ps(st.z, st.shade, 0.0f, 0.0f); };
    __m128 c0 = record(row[0]->start), c1 = record(row[1]->start), c2 = record(row[2]->start),
           c3 = record(row[3]->start);
    __m128 q0 = depth_record(row[0]->start), q1 = depth_record(row[1]->start);
    __m128 q2 = depth_record(row[2]->start), q3 = depth_record(row[3]->start);
    const __m128 dc = _mm_setr_ps(steps.colour.x, steps.colour.y, steps.colour.z, steps.colour.w);
    const __m128 dq = _mm_setr_ps(steps.z, steps.shade, 0.0f, 0.0f);
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

uint32_t fill_rows_sse2(const span_row_t* rows, int row_count, const span_steps_t& steps) {
    uint32_t drawn = 0;
    for (int k = 0; k < row_count; k += 4)
        drawn += fill_four_rows_sse2(rows + k, row_count - k < 4 ? row_count - k : 4, steps);
    return drawn;
}

// Eight pixels, four from each row of a pair, per 256-bit register: the in-lane shuffles
// transpose both rows' records at once.
__attribute__((target("avx2"))) inline __m256 both_rows(const float* a, const float* b) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(a)), _mm_loadu_ps(b), 1);
}
__attribute__((target("avx2"))) inline __m256i both_rows_i(const uint8_t* a, const uint8_t* b) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a))),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(b)), 1);
}

__attribute__((target("avx2"))) uint32_t blend_pair_avx2(const span_row_t& ra, const span_row_t& rb, int64_t done,
                                                         const row_pair_chunk_t& buf, int32_t n) {
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 k255 = _mm256_set1_ps(255.0f);
    const __m256i ff = _mm256_set1_epi32(0xFF);
    float* da = ra.depth + done;
    float* db = rb.depth + done;
    uint8_t* pa = ra.pixels + done * 4;
    uint8_t* pb = rb.pixels + done * 4;
    uint32_t drawn = 0;
    for (int32_t i = 0; i + 4 <= n; i += 4) {
        const __m256 c0 = _mm256_load_ps(buf.c[i]);
        const __m256 c1 = _mm256_load_ps(buf.c[i + 1]);
        const __m256 c2 = _mm256_load_ps(buf.c[i + 2]);
        const __m256 c3 = _mm256_load_ps(buf.c[i + 3]);
        const __m256 t0 = _mm256_unpacklo_ps(c0, c1);  // r0 r1 g0 g1
        const __m256 t1 = _mm256_unpackhi_ps(c0, c1);  // b0 b1 a0 a1
        const __m256 t2 = _mm256_unpacklo_ps(c2, c3);
        const __m256 t3 = _mm256_unpackhi_ps(c2, c3);
        const __m256 a = _mm256_shuffle_ps(t1, t3, 0xEE);
        const __m256 u0 = _mm256_unpacklo_ps(_mm256_load_ps(buf.q[i]), _mm256_load_ps(buf.q[i + 1]));  // z0 z1 s0 s1
        const __m256 u1 = _mm256_unpacklo_ps(_mm256_load_ps(buf.q[i + 2]), _mm256_load_ps(buf.q[i + 3]));
        const __m256 z = _mm256_shuffle_ps(u0, u1, 0x44);
        const __m256 d = both_rows(da + i, db + i);
        const __m256 pass = _mm256_and_ps(_mm256_cmp_ps(z, d, _CMP_NGE_UQ), _mm256_cmp_ps(a, one, _CMP_NGE_UQ));
        const int mask = _mm256_movemask_ps(pass);
        if (mask == 0) continue;
        const __m256 nd = _mm256_blendv_ps(d, z, pass);
        _mm_storeu_ps(da + i, _mm256_castps256_ps128(nd));
        _mm_storeu_ps(db + i, _mm256_extractf128_ps(nd, 1));

        const __m256 r = _mm256_shuffle_ps(t0, t2, 0x44);
        const __m256 g = _mm256_shuffle_ps(t0, t2, 0xEE);
        const __m256 b = _mm256_shuffle_ps(t1, t3, 0x44);
        const __m256 s = _mm256_shuffle_ps(u0, u1, 0xEE);
        const __m256i ai = _mm256_and_si256(_mm256_cvtps_epi32(_mm256_mul_ps(a, k255)), ff);
        const __m256i ri = _mm256_and_si256(_mm256_cvtps_epi32(_mm256_mul_ps(r, k255)), ff);
        const __m256i gi = _mm256_and_si256(_mm256_cvtps_epi32(_mm256_mul_ps(g, k255)), ff);
        const __m256i bi = _mm256_and_si256(_mm256_cvtps_epi32(_mm256_mul_ps(b, k255)), ff);
        const __m256i f = both_rows_i(pa + static_cast<size_t>(i) * 4, pb + static_cast<size_t>(i) * 4);
        const __m256i keep = _mm256_sub_epi32(ff, ai);
        const __m256i na = mix_avx2(ai, _mm256_srli_epi32(f, 24), ai, keep);
        const __m256i nr = shaded_avx2(mix_avx2(ri, _mm256_and_si256(_mm256_srli_epi32(f, 16), ff), ai, keep), s, ff);
        const __m256i ng = shaded_avx2(mix_avx2(gi, _mm256_and_si256(_mm256_srli_epi32(f, 8), ff), ai, keep), s, ff);
        const __m256i nb = shaded_avx2(mix_avx2(bi, _mm256_and_si256(f, ff), ai, keep), s, ff);
        const __m256i out = _mm256_or_si256(_mm256_or_si256(nb, _mm256_slli_epi32(ng, 8)),
                                            _mm256_or_si256(_mm256_slli_epi32(nr, 16), _mm256_slli_epi32(na, 24)));
        const __m256i nf = _mm256_blendv_epi8(f, out, _mm256_castps_si256(pass));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pa + static_cast<size_t>(i) * 4), _mm256_castsi256_si128(nf));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pb + static_cast<size_t>(i) * 4), _mm256_extracti128_si256(nf, 1));
        drawn += static_cast<uint32_t>(std::popcount(static_cast<unsigned>(mask)));
    }
    return drawn;
}

// The (red, green, blue, alpha) and (z, shade, 0, 0) records of two rows in one register.
__attribute__((target("avx2"))) inline __m256 colour_records(const span_state_t& x, const span_state_t& y) {
    return _mm256_setr_ps(x.colour.x, x.colour.y, x.colour.z, x.colour.w, y.colour.x, y.colour.y, y.colour.z,
                          y.colour.w);
}
__attribute__((target("avx2"))) inline __m256 depth_records(const span_state_t& x, const span_state_t& y) {
    return _mm256_setr_ps(x.z, x.shade, 0.0f, 0.0f, y.z, y.shade, 0.0f, 0.0f);
}

// The chains of `pairs` row pairs for m pixels: one register per pair and record.
template <int pairs>
__attribute__((target("avx2"))) inline void chains_avx2(__m256* c, __m256* q, __m256 dc, __m256 dq,
                                                        row_pair_chunk_t* buf, int32_t m) {
    __m256 cc[pairs];
    __m256 qq[pairs];
    for (int p = 0; p < pairs; ++p) {
        cc[p] = c[p];
        qq[p] = q[p];
    }
    for (int32_t j = 0; j < m; ++j) {
        for (int p = 0; p < pairs; ++p) {
            _mm256_store_ps(buf[p].c[j], cc[p]);
            _mm256_store_ps(buf[p].q[j], qq[p]);
            cc[p] = _mm256_add_ps(cc[p], dc);
            qq[p] = _mm256_add_ps(qq[p], dq);
        }
    }
    for (int p = 0; p < pairs; ++p) {
        c[p] = cc[p];
        q[p] = qq[p];
    }
}

__attribute__((target("avx2"))) uint32_t fill_rows_avx2(const span_row_t* rows, int row_count,
                                                        const span_steps_t& steps) {
    constexpr int max_pairs = span_batch_rows / 2;
    const span_row_t none{};
    const span_row_t* row[span_batch_rows];
    for (int k = 0; k < span_batch_rows; ++k) row[k] = k < row_count ? &rows[k] : &none;
    const int pairs = (row_count + 1) / 2;
    __m256 c[max_pairs];
    __m256 q[max_pairs];
    for (int p = 0; p < pairs; ++p) {
        c[p] = colour_records(row[2 * p]->start, row[2 * p + 1]->start);
        q[p] = depth_records(row[2 * p]->start, row[2 * p + 1]->start);
    }
    const __m256 dc = _mm256_setr_ps(steps.colour.x, steps.colour.y, steps.colour.z, steps.colour.w, steps.colour.x,
                                     steps.colour.y, steps.colour.z, steps.colour.w);
    const __m256 dq = _mm256_setr_ps(steps.z, steps.shade, 0.0f, 0.0f, steps.z, steps.shade, 0.0f, 0.0f);
    int64_t longest = 0;
    for (int k = 0; k < row_count; ++k) longest = rows[k].count > longest ? rows[k].count : longest;

    row_pair_chunk_t buf[max_pairs];
    uint32_t drawn = 0;
    for (int64_t done = 0; done < longest; done += batch_chunk) {
        int32_t m = 0;
        for (int k = 0; k < row_count; ++k) m = chunk_count(rows[k], done) > m ? chunk_count(rows[k], done) : m;
        switch (pairs) {
            case 4:
                chains_avx2<4>(c, q, dc, dq, buf, m);
                break;
            case 3:
                chains_avx2<3>(c, q, dc, dq, buf, m);
                break;
            case 2:
                chains_avx2<2>(c, q, dc, dq, buf, m);
                break;
            default:
                chains_avx2<1>(c, q, dc, dq, buf, m);
                break;
        }
        for (int p = 0; p < pairs; ++p) {
            const span_row_t& ra = *row[2 * p];
            const span_row_t& rb = *row[2 * p + 1];
            const int32_t na = chunk_count(ra, done);
            const int32_t nb = chunk_count(rb, done);
            const int32_t both = (na < nb ? na : nb) & ~3;
            if (both > 0) drawn += blend_pair_avx2(ra, rb, done, buf[p], both);
            if (na > both) {
                drawn +=
                    blend_row_sse2(ra.pixels + done * 4, ra.depth + done, &buf[p].c[0][0], &buf[p].q[0][0], both, na);
            }
            if (nb > both) {
                drawn +=
                    blend_row_sse2(rb.pixels + done * 4, rb.depth + done, &buf[p].c[0][4], &buf[p].q[0][4], both, nb);
            }
        }
    }
    return drawn;
}

bool cpu_has_avx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}
#endif

span_isa_t supported(span_isa_t isa) {
#if SOFTCUBE_X86
    static const bool avx2 = cpu_has_avx2();
    if (isa == span_isa_t::best) return avx2 ? span_isa_t::avx2 : span_isa_t::sse2;
    if (isa == span_isa_t::avx2 && !avx2) return span_isa_t::sse2;
    return isa;
#else
    (void)isa;
    return span_isa_t::portable;
#endif
}

blend_fn blend_for(span_isa_t isa) {
    switch (isa) {
#if SOFTCUBE_X86
        case span_isa_t::avx2:
            return blend_avx2;
        case span_isa_t::sse2:
            return blend_sse2;
#endif
        default:
            return blend_portable;
    }
}

using rows_fn = uint32_t (*)(const span_row_t* rows, int row_count, const span_steps_t& steps);

// Without wide registers: each row on its own, its chains taken a run at a time.
uint32_t fill_rows_portable(const span_row_t* rows, int row_count, const span_steps_t& steps) {
    uint32_t drawn = 0;
    for (int k = 0; k < row_count; ++k) {
        drawn += fill_vertex_colour_span(rows[k].pixels, rows[k].depth, rows[k].count, rows[k].start, steps);
    }
    return drawn;
}

rows_fn rows_for(span_isa_t isa) {
    switch (isa) {
#if SOFTCUBE_X86
        case span_isa_t::avx2:
            return fill_rows_avx2;
        case span_isa_t::sse2:
            return fill_rows_sse2;
#endif
        default:
            return fill_rows_portable;
    }
}

// The path in use, chosen on first use (not during static initialisation, whose order
// across files is unspecified).
struct dispatch_t {
    span_isa_t isa;
    blend_fn blend;
    rows_fn rows;
    void choose(span_isa_t wanted) {
        isa = supported(wanted);
        blend = blend_for(isa);
        rows = rows_for(isa);
    }
};

dispatch_t& dispatch() {
    static dispatch_t d = [] {
        dispatch_t first{};
        first.choose(span_isa_t::best);
        return first;
    }();
    return d;
}

// The colour, depth and shade chains of the next n pixels; returns nothing, moves the state.
void colour_chains(span_state_t& s, const span_steps_t& d, int32_t n, colour_chunk_t& v) {
    s.colour.x = span_chain::fill(s.colour.x, d.colour.x, n, v.r);
    s.colour.y = span_chain::fill(s.colour.y, d.colour.y, n, v.g);
    s.colour.z = span_chain::fill(s.colour.z, d.colour.z, n, v.b);
    s.colour.w = span_chain::fill(s.colour.w, d.colour.w, n, v.a);
    s.z = span_chain::fill(s.z, d.z, n, v.z);
    s.shade = span_chain::fill(s.shade, d.shade, n, v.s);
}

// wrapped_texel_coordinate without a library call where it can: below 2^31 in magnitude
// cvtss2si rounds as nearbyint does and its 32 bits are the low 32 bits of the 64-bit
// integer; larger, infinite and NaN values take the general path.
inline uint32_t texel_coordinate(float v) {
#if SOFTCUBE_X86
    if (std::fabs(v) < 2147483648.0f) return static_cast<uint32_t>(_mm_cvtss_si32(_mm_set_ss(v)));
#endif
    return wrapped_texel_coordinate(v);
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

uint32_t fill_vertex_colour_span(uint8_t* pixels, float* depth, int64_t count, const span_state_t& start,
                                 const span_steps_t& steps) {
    // u/w, v/w and 1/w are not read in this mode, so they are not stepped either.
    span_state_t s = start;
    colour_chunk_t v;
    uint32_t drawn = 0;
    const blend_fn blend = dispatch().blend;
    for (int64_t done = 0; done < count; done += chunk) {
        const auto n = static_cast<int32_t>(count - done < chunk ? count - done : chunk);
        colour_chains(s, steps, n, v);
        drawn += blend(pixels + done * 4, depth + done, v, 0, n);
    }
    return drawn;
}

uint32_t fill_textured_span(uint8_t* pixels, float* depth, int64_t count, const span_state_t& start,
                            const span_steps_t& steps, const texture_t& texture) {
    const bool has_texels = texture.pixels != nullptr && texture.width != 0 && texture.height != 0;
    const auto tex_width = static_cast<float>(texture.width);
    const auto tex_height = static_cast<float>(texture.height);
    // x % n is x & (n - 1) for a power of two n; other sizes divide.
    const bool pow2 =
        has_texels && (texture.width & (texture.width - 1)) == 0 && (texture.height & (texture.height - 1)) == 0;
    const uint8_t blank[4] = {0, 0, 0, 0};
    uint8_t scratch[4];
    texture_chunk_t v;
    // The nine chains side by side: independent serial additions, several in flight at once.
    float c0 = start.colour.x, c1 = start.colour.y, c2 = start.colour.z, c3 = start.colour.w;
    float z = start.z, sh = start.shade, uw = start.u_over_w, vw = start.v_over_w, ow = start.one_over_w;
    uint32_t drawn = 0;
    for (int64_t done = 0; done < count; done += chunk) {
        const auto n = static_cast<int32_t>(count - done < chunk ? count - done : chunk);
        for (int32_t i = 0; i < n; ++i) {
            v.c.r[i] = c0;
            v.c.g[i] = c1;
            v.c.b[i] = c2;
            v.c.a[i] = c3;
            v.c.z[i] = z;
            v.c.s[i] = sh;
            v.u_over_w[i] = uw;
            v.v_over_w[i] = vw;
            v.one_over_w[i] = ow;
            c0 += steps.colour.x;
            c1 += steps.colour.y;
            c2 += steps.colour.z;
            c3 += steps.colour.w;
            z += steps.z;
            sh += steps.shade;
            uw += steps.u_over_w;
            vw += steps.v_over_w;
            ow += steps.one_over_w;
        }
        uint8_t* px = pixels + done * 4;
        float* dp = depth + done;
        for (int32_t i = 0; i < n; ++i) {
            if (!(v.c.z[i] >= dp[i]) && !(v.c.a[i] >= 1.0f)) {
                dp[i] = v.c.z[i];
                const float w = 1.0f / v.one_over_w[i];
                const float u = w * v.u_over_w[i];
                const float t = w * v.v_over_w[i];
                const uint8_t* texel = blank;
                if (has_texels) {
                    const uint32_t ux = texel_coordinate(u * tex_width + 0.5f);
                    const uint32_t uy = texel_coordinate(t * tex_height + 0.5f);
                    const uint32_t tx = pow2 ? ux & (texture.width - 1) : ux % texture.width;
                    const uint32_t ty = pow2 ? uy & (texture.height - 1) : uy % texture.height;
                    texel = texel_at(texture, tx, ty, scratch);
                }
                blend_texel(px + static_cast<size_t>(i) * 4, texel, vec4_t(v.c.r[i], v.c.g[i], v.c.b[i], v.c.a[i]),
                            v.c.s[i]);
                ++drawn;
            }
        }
    }
    return drawn;
}

uint32_t fill_vertex_colour_rows(const span_row_t* rows, int row_count, const span_steps_t& steps) {
    return dispatch().rows(rows, row_count, steps);
}

span_isa_t span_isa() { return dispatch().isa; }

span_isa_t set_span_isa(span_isa_t isa) {
    dispatch().choose(isa);
    return dispatch().isa;
}

const char* span_isa_name(span_isa_t isa) {
    switch (isa) {
        case span_isa_t::portable:
            return "portable";
        case span_isa_t::sse2:
            return "sse2";
        case span_isa_t::avx2:
            return "avx2";
        case span_isa_t::best:
            break;
    }
    return "best";
}
