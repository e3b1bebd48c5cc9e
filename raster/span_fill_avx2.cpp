// The AVX2 span fill path: vertex-colour rows in pairs (four pixels of each per register) and textured rows eight at a
// time (a lane per row for their chains, sixteen pixels of one row per kernel pass).
#include "raster/span_fill_paths.h"

// This file alone is compiled for AVX2 (raster/CMakeLists.txt) and only runs where the
// processor has it. So that no function compiled here is shared with the baseline files, it
// calls no inline function of another header (not even the record's operator[]; builtins
// instead of <bit>) and keeps its own helpers in the unnamed namespace.
#if defined(__AVX2__)
#include <immintrin.h>

#include "raster/row_batch.h"
#include "raster/span_lanes.h"

namespace {

struct avx2_lanes : shuffled_byte_lanes<avx2_lanes> {
    using f = __m256;
    using i = __m256i;
    using m = __m256;  // all bits set in the lanes chosen
    static constexpr int width = 8;
    static f load(const float* p) { return _mm256_load_ps(p); }
    static f loadu(const float* p) { return _mm256_loadu_ps(p); }
    static void store(float* p, f v) { _mm256_store_ps(p, v); }
    static void storeu(float* p, f v) { _mm256_storeu_ps(p, v); }
    static i load_i(const uint32_t* p) { return _mm256_load_si256(reinterpret_cast<const __m256i*>(p)); }
    static void store_i(uint32_t* p, i v) { _mm256_store_si256(reinterpret_cast<__m256i*>(p), v); }
    static i loadu_i(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void storeu_i(uint8_t* p, i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    static f add(f a, f b) { return _mm256_add_ps(a, b); }
    static f sub(f a, f b) { return _mm256_sub_ps(a, b); }
    static f div(f a, f b) { return _mm256_div_ps(a, b); }
    static m or_m(m a, m b) { return _mm256_or_ps(a, b); }
    static m eq_i(i a, i b) { return _mm256_castsi256_ps(_mm256_cmpeq_epi32(a, b)); }
    // All bits set in lanes 0 .. count - 1.
    static m lanes_below(int count) {
        return _mm256_castsi256_ps(
            _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
    }
    // The eight texels one by one (a gather is no faster here), put together in registers: a
    // vector load of words just stored one by one would wait for the stores to drain. The
    // texel index ty * row + tx stays below 2^31 (sampler.lanes).
    static i fetch(const uint8_t* texels, uint32_t row, i tx, i ty) {
        alignas(32) uint32_t index[8];
        store_i(index, _mm256_add_epi32(_mm256_mullo_epi32(ty, _mm256_set1_epi32(static_cast<int>(row))), tx));
        const auto word = [&](int k) {
            uint32_t w = 0;
            __builtin_memcpy(&w, texels + static_cast<size_t>(index[k]) * 4, 4);
            return static_cast<int>(w);
        };
        return _mm256_setr_epi32(word(0), word(1), word(2), word(3), word(4), word(5), word(6), word(7));
    }
    static f splat(float v) { return _mm256_set1_ps(v); }
    static i splat_i(int v) { return _mm256_set1_epi32(v); }
    static m not_ge(f a, f b) { return _mm256_cmp_ps(a, b, _CMP_NGE_UQ); }
    static m and_m(m a, m b) { return _mm256_and_ps(a, b); }
    static int mask_bits(m k) { return _mm256_movemask_ps(k); }
    static f select_f(m k, f yes, f no) { return _mm256_blendv_ps(no, yes, k); }
    static i select_i(m k, i yes, i no) { return _mm256_blendv_epi8(no, yes, _mm256_castps_si256(k)); }
    static f mul(f a, f b) { return _mm256_mul_ps(a, b); }
    static i to_int(f a) { return _mm256_cvtps_epi32(a); }
    static f to_float(i a) { return _mm256_cvtepi32_ps(a); }
    static i and_i(i a, i b) { return _mm256_and_si256(a, b); }
    static i or_i(i a, i b) { return _mm256_or_si256(a, b); }
    static i add_i(i a, i b) { return _mm256_add_epi32(a, b); }
    static i sub_i(i a, i b) { return _mm256_sub_epi32(a, b); }
    // Sums of the products of signed 16-bit pairs, one per 32-bit lane.
    static i madd16(i a, i b) { return _mm256_madd_epi16(a, b); }
    template <int n>
    static i srl(i a) {
        return _mm256_srli_epi32(a, n);
    }
    // Byte `from` of each lane moved to byte `to` of the same lane, every other byte cleared:
    // one byte shuffle (index -1 clears a byte).
    template <int from, int to>
    static i move_byte(i a) {
        constexpr auto at = [](int p) { return static_cast<char>(p % 4 == to ? p / 4 * 4 + from : -1); };
        const __m128i order = _mm_setr_epi8(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7), at(8), at(9),
                                            at(10), at(11), at(12), at(13), at(14), at(15));
        return _mm256_shuffle_epi8(a, _mm256_broadcastsi128_si256(order));
    }
    static f fmadd(f a, f b, f c) { return _mm256_fmadd_ps(a, b, c); }
    template <int n>
    static i sll(i a) {
        return _mm256_slli_epi32(a, n);
    }
};

// Eight pixels, four from each row of a pair, per 256-bit register: the in-lane shuffles
// transpose both rows' records at once.
__m256 both_rows(const float* a, const float* b) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(a)), _mm_loadu_ps(b), 1);
}
__m256i both_rows_i(const uint8_t* a, const uint8_t* b) {
    return _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a))),
                                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(b)), 1);
}

uint32_t blend_pair_avx2(const span_row_t& ra, const span_row_t& rb, int64_t done, const row_pair_chunk_t& buf,
                         int32_t n) {
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
        const __m256 u0 = _mm256_unpacklo_ps(_mm256_load_ps(buf.q[i]), _mm256_load_ps(buf.q[i + 1]));  // z0 z1 s0 s1
        const __m256 u1 = _mm256_unpacklo_ps(_mm256_load_ps(buf.q[i + 2]), _mm256_load_ps(buf.q[i + 3]));
        const __m256 r = _mm256_shuffle_ps(t0, t2, 0x44);
        const __m256 g = _mm256_shuffle_ps(t0, t2, 0xEE);
        const __m256 b = _mm256_shuffle_ps(t1, t3, 0x44);
        const __m256 a = _mm256_shuffle_ps(t1, t3, 0xEE);
        const __m256 z = _mm256_shuffle_ps(u0, u1, 0x44);
        const __m256 s = _mm256_shuffle_ps(u0, u1, 0xEE);
        __m256 d = both_rows(da + i, db + i);
        __m256i f = both_rows_i(pa + static_cast<size_t>(i) * 4, pb + static_cast<size_t>(i) * 4);
        const int mask = blend_vertex_colour_lanes<avx2_lanes>(avx2_lanes::lanes_below(8), r, g, b, a, z, s, d, f);
        if (mask == 0) continue;
        _mm_storeu_ps(da + i, _mm256_castps256_ps128(d));
        _mm_storeu_ps(db + i, _mm256_extractf128_ps(d, 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pa + static_cast<size_t>(i) * 4), _mm256_castsi256_si128(f));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pb + static_cast<size_t>(i) * 4), _mm256_extracti128_si256(f, 1));
        drawn += static_cast<uint32_t>(__builtin_popcount(static_cast<unsigned>(mask)));
    }
    return drawn;
}

// The (red, green, blue, alpha) and (z, shade, 0, 0) records of two rows in one register.
__m256 colour_records(const interpolants_t& x, const interpolants_t& y) {
    return _mm256_insertf128_ps(_mm256_castps128_ps256(_mm_loadu_ps(&x.at[interpolant::red])),
                                _mm_loadu_ps(&y.at[interpolant::red]), 1);
}
__m256 depth_records(const interpolants_t& x, const interpolants_t& y) {
    return _mm256_setr_ps(x.at[interpolant::z], x.at[interpolant::shade], 0.0f, 0.0f, y.at[interpolant::z],
                          y.at[interpolant::shade], 0.0f, 0.0f);
}

// The chains of `pairs` row pairs for m pixels: one register per pair and record.
template <int pairs>
void chains_avx2(__m256* c, __m256* q, __m256 dc, __m256 dq, row_pair_chunk_t* buf, int32_t m) {
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

// Sixteen pixels per kernel pass: two registers whose work interleaves.
using avx2_pair_lanes = lane_pair<avx2_lanes>;

// The pixels of one row in a block, fewer than block_pixels: a register of 8 where there
// are 8, then the rest through a copy.
uint32_t blend_block_rest(uint8_t* pixels, float* depth, const float* values, int32_t count,
                          const texel_sampler_t& sampler) {
    uint32_t drawn = 0;
    int32_t at = 0;
    if (count >= avx2_lanes::width) {
        const int mask = blend_texel_group<avx2_lanes>(pixels, depth, values, block_pixels,
                                                       avx2_lanes::lanes_below(avx2_lanes::width), sampler);
        drawn += static_cast<uint32_t>(__builtin_popcount(static_cast<unsigned>(mask)));
        at = avx2_lanes::width;
    }
    if (count > at) {
        drawn += blend_texel_tail<avx2_lanes>(pixels + static_cast<size_t>(at) * 4, depth + at, values + at,
                                              block_pixels, count - at, sampler);
    }
    return drawn;
}

}  // namespace

uint32_t fill_textured_rows_avx2(const span_row_t* rows, int row_count, const interpolants_t& steps,
                                 const texel_sampler_t& sampler) {
    const avx2_pair_lanes::m all = avx2_pair_lanes::lanes_below(avx2_pair_lanes::width);
    return fill_row_batch<avx2_row_chains>(
        rows, row_count, steps, [&](uint8_t* pixels, float* depth, const float* values, int64_t left) -> uint32_t {
            if (left < block_pixels)
                return blend_block_rest(pixels, depth, values, static_cast<int32_t>(left), sampler);
            const int mask = blend_texel_group<avx2_pair_lanes>(pixels, depth, values, block_pixels, all, sampler);
            return static_cast<uint32_t>(__builtin_popcount(static_cast<unsigned>(mask)));
        });
}

uint32_t fill_rows_avx2(const span_row_t* rows, int row_count, const interpolants_t& steps) {
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
    const __m256 dc = colour_records(steps, steps);
    const __m256 dq = depth_records(steps, steps);
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

#endif
