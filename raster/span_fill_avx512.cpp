// The AVX-512 span fill path: rows sixteen pixels of one row per register, and the short rows of small triangles four
// rows to a register with each row's end masked.
#include "raster/span_fill_paths.h"

// This file alone is compiled for AVX-512 (raster/CMakeLists.txt) and only runs where the
// processor has it; like the AVX2 file it shares no inline function with the baseline files.
#if defined(__AVX512F__) && defined(__AVX512BW__) && defined(__AVX512VL__) && defined(__AVX512DQ__)
#include <immintrin.h>

#include "raster/row_batch.h"
#include "raster/span_lanes.h"

namespace {

// Masks are mask registers, one bit per lane, so a compare, a select or a partial load or
// store is one instruction.
struct avx512_lanes : shuffled_byte_lanes<avx512_lanes> {
    using f = __m512;
    using i = __m512i;
    using m = __mmask16;
    static constexpr int width = 16;
    // Every load and store is the unaligned form: on aligned addresses both forms cost the
    // same, and not every caller's values are aligned to 64 bytes.
    static f load(const float* p) { return _mm512_loadu_ps(p); }
    static f loadu(const float* p) { return _mm512_loadu_ps(p); }
    static void store(float* p, f v) { _mm512_storeu_ps(p, v); }
    static void storeu(float* p, f v) { _mm512_storeu_ps(p, v); }
    static i load_i(const uint32_t* p) { return _mm512_loadu_si512(p); }
    static void store_i(uint32_t* p, i v) { _mm512_storeu_si512(p, v); }
    static i loadu_i(const uint8_t* p) { return _mm512_loadu_si512(p); }
    static void storeu_i(uint8_t* p, i v) { _mm512_storeu_si512(p, v); }
    // Only the lanes of k are read or written; the others read as zero.
    static f loadu_part(const float* p, m k) { return _mm512_maskz_loadu_ps(k, p); }
    static i loadu_part_i(const uint8_t* p, m k) { return _mm512_maskz_loadu_epi32(k, p); }
    static void storeu_part(float* p, m k, f v) { _mm512_mask_storeu_ps(p, k, v); }
    static void storeu_part_i(uint8_t* p, m k, i v) { _mm512_mask_storeu_epi32(p, k, v); }
    static f add(f a, f b) { return _mm512_add_ps(a, b); }
    static f sub(f a, f b) { return _mm512_sub_ps(a, b); }
    static f mul(f a, f b) { return _mm512_mul_ps(a, b); }
    static f div(f a, f b) { return _mm512_div_ps(a, b); }
    static m and_m(m a, m b) { return static_cast<m>(a & b); }
    static m or_m(m a, m b) { return static_cast<m>(a | b); }
    static m eq_i(i a, i b) { return _mm512_cmpeq_epi32_mask(a, b); }
    static m not_ge(f a, f b) { return _mm512_cmp_ps_mask(a, b, _CMP_NGE_UQ); }
    static m lanes_below(int count) {
        return static_cast<m>(count >= width ? 0xFFFF : count <= 0 ? 0 : (1u << count) - 1);
    }
    static int mask_bits(m k) { return static_cast<int>(k); }
    static f select_f(m k, f yes, f no) { return _mm512_mask_blend_ps(k, no, yes); }
    static i select_i(m k, i yes, i no) { return _mm512_mask_blend_epi32(k, no, yes); }
    // A gather: on processors with AVX-512 it beats sixteen loads put together one by one. The
    // texel index ty * row + tx stays below 2^31 (sampler.lanes), and every lane's coordinates
    // are reduced into the texture, so every lane reads inside it.
    static i fetch(const uint8_t* texels, uint32_t row, i tx, i ty) {
        const i index = _mm512_add_epi32(_mm512_mullo_epi32(ty, _mm512_set1_epi32(static_cast<int>(row))), tx);
        return _mm512_i32gather_epi32(index, texels, 4);
    }
    static f splat(float v) { return _mm512_set1_ps(v); }
    static i splat_i(int v) { return _mm512_set1_epi32(v); }
    static i to_int(f a) { return _mm512_cvtps_epi32(a); }
    static f to_float(i a) { return _mm512_cvtepi32_ps(a); }
    static i and_i(i a, i b) { return _mm512_and_si512(a, b); }
    static i or_i(i a, i b) { return _mm512_or_si512(a, b); }
    static i add_i(i a, i b) { return _mm512_add_epi32(a, b); }
    static i sub_i(i a, i b) { return _mm512_sub_epi32(a, b); }
    // Sums of the products of signed 16-bit pairs, one per 32-bit lane.
    static i madd16(i a, i b) { return _mm512_madd_epi16(a, b); }
    template <int n>
    static i srl(i a) {
        return _mm512_srli_epi32(a, n);
    }
    template <int n>
    static i sll(i a) {
        return _mm512_slli_epi32(a, n);
    }
    // Byte `from` of each lane moved to byte `to` of the same lane, every other byte cleared.
    template <int from, int to>
    static i move_byte(i a) {
        constexpr auto at = [](int p) { return static_cast<char>(p % 4 == to ? p / 4 * 4 + from : -1); };
        const __m128i order = _mm_setr_epi8(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7), at(8), at(9),
                                            at(10), at(11), at(12), at(13), at(14), at(15));
        return _mm512_shuffle_epi8(a, _mm512_broadcast_i32x4(order));
    }
    static f fmadd(f a, f b, f c) { return _mm512_fmadd_ps(a, b, c); }
};

// Batches whose longest row has at least this many pixels are drawn a block of sixteen
// pixels of one row at a time; shorter ones four rows at a time, where a row's pixels share a
// register with three other rows' and little of the chains' work goes unused.
constexpr int32_t block_rows_from = 24;

// Four rows side by side: entry j holds each row's record for its pixel j in the 128-bit lane
// of the row, (red, green, blue, alpha) in c and (z, shade, 0, 0) in q.
constexpr int quad_rows = 4;

struct alignas(64) row_quad_records_t {
    float c[block_rows_from][16];
    float q[block_rows_from][16];
};

// The start or step records of four rows in one register each.
void quad_records(const interpolants_t* const* values, __m512& c, __m512& q) {
    alignas(64) float cs[16] = {};
    alignas(64) float qs[16] = {};
    for (int r = 0; r < quad_rows; ++r) {
        for (int k = 0; k < 4; ++k) cs[4 * r + k] = values[r]->at[interpolant::red + k];
        qs[4 * r] = values[r]->at[interpolant::z];
        qs[4 * r + 1] = values[r]->at[interpolant::shade];
    }
    c = _mm512_load_ps(cs);
    q = _mm512_load_ps(qs);
}

// The chains of `quads` groups of four rows for m pixels.
template <int quads>
void quad_chains(__m512* c, __m512* q, __m512 dc, __m512 dq, row_quad_records_t* buf, int32_t m) {
    __m512 cc[quads];
    __m512 qq[quads];
    for (int p = 0; p < quads; ++p) {
        cc[p] = c[p];
        qq[p] = q[p];
    }
    for (int32_t j = 0; j < m; ++j) {
        for (int p = 0; p < quads; ++p) {
            _mm512_store_ps(buf[p].c[j], cc[p]);
            _mm512_store_ps(buf[p].q[j], qq[p]);
            cc[p] = _mm512_add_ps(cc[p], dc);
            qq[p] = _mm512_add_ps(qq[p], dq);
        }
    }
    for (int p = 0; p < quads; ++p) {
        c[p] = cc[p];
        q[p] = qq[p];
    }
}

// Where one row's four pixels of a register are read and written: its depths and pixels, or,
// for a row none of whose lanes is touched, a spare place, so that no address past the row is
// ever formed.
struct quad_row_t {
    float* depth;
    uint8_t* pixels;
};

template <int r>
__m512 with_row(__m512 all, __m128 row) {
    return _mm512_insertf32x4(all, row, r);
}
template <int r>
__m512i with_row(__m512i all, __m128i row) {
    return _mm512_inserti32x4(all, row, r);
}

// Lane group r of the depths and pixels. Where all four pixels are the row's, whole loads and
// stores (the lanes not drawn carry back the bits they were read with); at a row's end masked
// ones, so nothing past the row is read or written.
template <int r>
void load_row(const quad_row_t& at, __mmask8 lanes, __m512& d, __m512i& f) {
    if (lanes == 0xF) {
        d = with_row<r>(d, _mm_loadu_ps(at.depth));
        f = with_row<r>(f, _mm_loadu_si128(reinterpret_cast<const __m128i*>(at.pixels)));
    } else {
        d = with_row<r>(d, _mm_maskz_loadu_ps(lanes, at.depth));
        f = with_row<r>(f, _mm_maskz_loadu_epi32(lanes, at.pixels));
    }
}

template <int r>
void store_row(const quad_row_t& at, __mmask8 lanes, __m512 d, __m512i f) {
    if (lanes == 0xF) {
        _mm_storeu_ps(at.depth, _mm512_extractf32x4_ps(d, r));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(at.pixels), _mm512_extracti32x4_epi32(f, r));
    } else {
        _mm_mask_storeu_ps(at.depth, lanes, _mm512_extractf32x4_ps(d, r));
        _mm_mask_storeu_epi32(at.pixels, lanes, _mm512_extracti32x4_epi32(f, r));
    }
}

// The pixels of four rows (fewer than block_rows_from each) whose records are in buf: four
// pixels of every row per register, the lanes past a row's end masked off.
uint32_t blend_quad(const span_row_t* const* row, const row_quad_records_t& buf) {
    int32_t counts[quad_rows];
    int32_t longest = 0;
    for (int r = 0; r < quad_rows; ++r) {
        counts[r] = static_cast<int32_t>(row[r]->count);
        longest = counts[r] > longest ? counts[r] : longest;
    }
    const __m512i ends =
        _mm512_setr_epi32(counts[0], counts[0], counts[0], counts[0], counts[1], counts[1], counts[1], counts[1],
                          counts[2], counts[2], counts[2], counts[2], counts[3], counts[3], counts[3], counts[3]);
    const __m512i column = _mm512_setr_epi32(0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3);
    float spare_depth[4];
    uint8_t spare_pixels[16];
    uint32_t drawn = 0;
    for (int32_t i = 0; i < longest; i += 4) {
        const __mmask16 valid = _mm512_cmplt_epi32_mask(_mm512_add_epi32(column, _mm512_set1_epi32(i)), ends);
        quad_row_t at[quad_rows];
        for (int r = 0; r < quad_rows; ++r) {
            const bool touched = ((valid >> (4 * r)) & 0xF) != 0;
            at[r] =
                touched ? quad_row_t{row[r]->depth + i, row[r]->pixels + i * 4} : quad_row_t{spare_depth, spare_pixels};
        }
        const auto lanes = [&](int r) { return static_cast<__mmask8>((valid >> (4 * r)) & 0xF); };
        __m512 d = _mm512_setzero_ps();
        __m512i f = _mm512_setzero_si512();
        load_row<0>(at[0], lanes(0), d, f);
        load_row<1>(at[1], lanes(1), d, f);
        load_row<2>(at[2], lanes(2), d, f);
        load_row<3>(at[3], lanes(3), d, f);

        const __m512 c0 = _mm512_load_ps(buf.c[i]);
        const __m512 c1 = _mm512_load_ps(buf.c[i + 1]);
        const __m512 c2 = _mm512_load_ps(buf.c[i + 2]);
        const __m512 c3 = _mm512_load_ps(buf.c[i + 3]);
        const __m512 t0 = _mm512_unpacklo_ps(c0, c1);  // r0 r1 g0 g1 in each row's lanes
        const __m512 t1 = _mm512_unpackhi_ps(c0, c1);  // b0 b1 a0 a1
        const __m512 t2 = _mm512_unpacklo_ps(c2, c3);
        const __m512 t3 = _mm512_unpackhi_ps(c2, c3);
        const __m512 u0 = _mm512_unpacklo_ps(_mm512_load_ps(buf.q[i]), _mm512_load_ps(buf.q[i + 1]));  // z0 z1 s0 s1
        const __m512 u1 = _mm512_unpacklo_ps(_mm512_load_ps(buf.q[i + 2]), _mm512_load_ps(buf.q[i + 3]));
        const __m512 red = _mm512_shuffle_ps(t0, t2, 0x44);
        const __m512 green = _mm512_shuffle_ps(t0, t2, 0xEE);
        const __m512 blue = _mm512_shuffle_ps(t1, t3, 0x44);
        const __m512 alpha = _mm512_shuffle_ps(t1, t3, 0xEE);
        const __m512 z = _mm512_shuffle_ps(u0, u1, 0x44);
        const __m512 shade = _mm512_shuffle_ps(u0, u1, 0xEE);
        const int mask = blend_vertex_colour_lanes<avx512_lanes>(valid, red, green, blue, alpha, z, shade, d, f);
        if (mask == 0) continue;
        store_row<0>(at[0], lanes(0), d, f);
        store_row<1>(at[1], lanes(1), d, f);
        store_row<2>(at[2], lanes(2), d, f);
        store_row<3>(at[3], lanes(3), d, f);
        drawn += static_cast<uint32_t>(__builtin_popcount(static_cast<unsigned>(mask)));
    }
    return drawn;
}

// The chains of the first `quantities` values of every row of a batch, two quantities per
// register: lanes 0..7 hold quantity 2p of rows 0..7 and lanes 8..15 quantity 2p + 1 (with an
// odd count the last register's upper lanes step zeros that nobody reads). The same
// additions as one register per quantity, in the same order, so the same bits; the
// transposes then serve two quantities at once.
template <int quantities>
struct avx512_row_chains {
    static constexpr int pairs = (quantities + 1) / 2;
    __m512 state[pairs];
    __m512 step[pairs];

    avx512_row_chains(const float (&starts)[interpolant::count][span_batch_rows], const interpolants_t& steps) {
        for (int p = 0; p < pairs; ++p) {
            const int a = 2 * p;
            const int b = 2 * p + 1;
            const __m256 start_b = b < quantities ? _mm256_load_ps(starts[b]) : _mm256_setzero_ps();
            state[p] = _mm512_insertf32x8(_mm512_castps256_ps512(_mm256_load_ps(starts[a])), start_b, 1);
            const __m256 step_b = _mm256_set1_ps(b < quantities ? steps.at[b] : 0.0f);
            step[p] = _mm512_insertf32x8(_mm512_castps256_ps512(_mm256_set1_ps(steps.at[a])), step_b, 1);
        }
    }

    // The next block_pixels pixels: serial additions, and after each eight of them the 8 x 8
    // transposes of both quantities, so that each row's values of a quantity lie side by side
    // in the block.
    void next(row_block_t& block) {
        // Row k (and row k + 4) of both quantities from s_k and s_{k+4}: their first (second)
        // 128-bit lanes of each quantity's half, in pixel order.
        const __m512i row_low = _mm512_setr_epi32(0, 1, 2, 3, 16, 17, 18, 19, 8, 9, 10, 11, 24, 25, 26, 27);
        const __m512i row_high = _mm512_setr_epi32(4, 5, 6, 7, 20, 21, 22, 23, 12, 13, 14, 15, 28, 29, 30, 31);
        for (int p = 0; p < pairs; ++p) {
            const int a = 2 * p;
            const int b = 2 * p + 1;
            const auto store = [&](int row, int at, __m512 v) {
                _mm256_store_ps(block.v[row][a] + at, _mm512_castps512_ps256(v));
                if (b < quantities) _mm256_store_ps(block.v[row][b] + at, _mm512_extractf32x8_ps(v, 1));
            };
            __m512 x = state[p];
            for (int at = 0; at < block_pixels; at += 8) {
                __m512 v[8];
                for (int j = 0; j < 8; ++j) {
                    v[j] = x;
                    x = _mm512_add_ps(x, step[p]);
                }
                __m512 s[8];
                transpose_within_lanes(v, s);
                for (int k = 0; k < 4; ++k) {
                    store(k, at, _mm512_permutex2var_ps(s[k], row_low, s[k + 4]));
                    store(k + 4, at, _mm512_permutex2var_ps(s[k], row_high, s[k + 4]));
                }
            }
            state[p] = x;
        }
    }
};

// Up to sixteen vertex-colour pixels of one row from their values in a block (quantity q at
// values[q * block_pixels]), `left` of them being the row's.
uint32_t blend_colour_block(uint8_t* pixels, float* depth, const float* values, int64_t left) {
    using L = avx512_lanes;
    const auto quantity = [&](int q) { return L::load(values + q * block_pixels); };
    const __m512 red = quantity(interpolant::red);
    const __m512 green = quantity(interpolant::green);
    const __m512 blue = quantity(interpolant::blue);
    const __m512 alpha = quantity(interpolant::alpha);
    const __m512 z = quantity(interpolant::z);
    const __m512 shade = quantity(interpolant::shade);
    int mask = 0;
    if (left >= block_pixels) {
        __m512 d = L::loadu(depth);
        __m512i f = L::loadu_i(pixels);
        mask = blend_vertex_colour_lanes<L>(L::lanes_below(block_pixels), red, green, blue, alpha, z, shade, d, f);
        if (mask == 0) return 0;
        L::storeu(depth, d);
        L::storeu_i(pixels, f);
    } else {
        const __mmask16 valid = L::lanes_below(static_cast<int>(left));
        __m512 d = L::loadu_part(depth, valid);
        __m512i f = L::loadu_part_i(pixels, valid);
        mask = blend_vertex_colour_lanes<L>(valid, red, green, blue, alpha, z, shade, d, f);
        if (mask == 0) return 0;
        L::storeu_part(depth, valid, d);
        L::storeu_part_i(pixels, valid, f);
    }
    return static_cast<uint32_t>(__builtin_popcount(static_cast<unsigned>(mask)));
}

// Textured blocks drawn in an overlapped order: a block's texels are fetched before the
// previous block is blended, so the fetch's wait is spent on that blend. The two blocks are
// of different rows, or of one row at different pixels, so neither touches what the other
// reads or writes; each block is still blended exactly as on its own.
struct overlapped_texel_blocks {
    using L = avx512_lanes;
    enum class pending_t { none, whole, part };
    const texel_sampler_t& sampler;
    texel_group_t<L> group{};
    pending_t pending = pending_t::none;

    uint32_t operator()(uint8_t* pixels, float* depth, const float* values, int64_t left) {
        texel_group_t<L> next;
        const bool whole = left >= block_pixels;
        const int mask = whole ? start_texel_group<L>(next, pixels, depth, values, block_pixels,
                                                      L::lanes_below(block_pixels), sampler)
                               : start_texel_group<L, true>(next, pixels, depth, values, block_pixels,
                                                            L::lanes_below(static_cast<int>(left)), sampler);
        finish();
        if (mask != 0) {
            group = next;
            pending = whole ? pending_t::whole : pending_t::part;
        }
        return static_cast<uint32_t>(__builtin_popcount(static_cast<unsigned>(mask)));
    }

    void finish() {
        if (pending == pending_t::whole) finish_texel_group<L>(group);
        if (pending == pending_t::part) finish_texel_group<L, true>(group);
        pending = pending_t::none;
    }
};

}  // namespace

uint32_t fill_rows_avx512(const span_row_t* rows, int row_count, const interpolants_t& steps) {
    int64_t longest = 0;
    for (int k = 0; k < row_count; ++k) longest = rows[k].count > longest ? rows[k].count : longest;
    if (longest >= block_rows_from) {
        return fill_row_batch<avx512_row_chains<interpolant::untextured_count>>(rows, row_count, steps,
                                                                                blend_colour_block);
    }
    constexpr int max_quads = span_batch_rows / quad_rows;
    const span_row_t none{};
    const span_row_t* row[span_batch_rows];
    const interpolants_t* starts[span_batch_rows];
    for (int k = 0; k < span_batch_rows; ++k) {
        row[k] = k < row_count ? &rows[k] : &none;
        starts[k] = &row[k]->start;
    }
    const int quads = (row_count + quad_rows - 1) / quad_rows;
    __m512 c[max_quads];
    __m512 q[max_quads];
    for (int p = 0; p < quads; ++p) quad_records(starts + quad_rows * p, c[p], q[p]);
    const interpolants_t* const step_rows[quad_rows] = {&steps, &steps, &steps, &steps};
    __m512 dc;
    __m512 dq;
    quad_records(step_rows, dc, dq);
    // Whole registers of four pixels are read from the records.
    const auto padded = static_cast<int32_t>((longest + 3) & ~3);
    row_quad_records_t buf[max_quads];
    if (quads == 2) {
        quad_chains<2>(c, q, dc, dq, buf, padded);
    } else {
        quad_chains<1>(c, q, dc, dq, buf, padded);
    }
    uint32_t drawn = 0;
    for (int p = 0; p < quads; ++p) drawn += blend_quad(row + quad_rows * p, buf[p]);
    return drawn;
}

uint32_t fill_textured_rows_avx512(const span_row_t* rows, int row_count, const interpolants_t& steps,
                                   const texel_sampler_t& sampler) {
    return fill_row_batch<avx512_row_chains<interpolant::count>>(rows, row_count, steps,
                                                                 overlapped_texel_blocks{sampler});
}

#endif
