// The batch driver shared by the wide paths: the chains of a batch's rows stepped side by side, a lane per row, and
// each row's block of values handed to the path's kernel.
#pragma once

// Only for files compiled for AVX2 or wider (see span_fill_paths.h on why everything here has
// internal linkage).
#if defined(__AVX2__)
#include <immintrin.h>

#include "raster/span_fill_paths.h"

namespace {

// The in-lane steps of an 8 x 8 transpose of floats, written once for 256-bit registers and,
// in a file compiled for AVX-512, for 512-bit ones, which hold two quantities (one per 256-bit
// half) and transpose both at once. v_j holds pixel j with a lane per row; afterwards, in
// each half, s_k holds rows k and k + 4 (one per 128-bit lane) of pixels 0..3 for k < 4 and
// of pixels 4..7 for k >= 4 (rows k - 4 and k).
inline __m256 unpack_low(__m256 a, __m256 b) { return _mm256_unpacklo_ps(a, b); }
inline __m256 unpack_high(__m256 a, __m256 b) { return _mm256_unpackhi_ps(a, b); }
template <int order>
__m256 shuffle_pairs(__m256 a, __m256 b) {
    return _mm256_shuffle_ps(a, b, order);
}
#if defined(__AVX512F__)
inline __m512 unpack_low(__m512 a, __m512 b) { return _mm512_unpacklo_ps(a, b); }
inline __m512 unpack_high(__m512 a, __m512 b) { return _mm512_unpackhi_ps(a, b); }
template <int order>
__m512 shuffle_pairs(__m512 a, __m512 b) {
    return _mm512_shuffle_ps(a, b, order);
}
#endif

template <class V>
void transpose_within_lanes(const V (&v)[8], V (&s)[8]) {
    const V t0 = unpack_low(v[0], v[1]);
    const V t1 = unpack_high(v[0], v[1]);
    const V t2 = unpack_low(v[2], v[3]);
    const V t3 = unpack_high(v[2], v[3]);
    const V t4 = unpack_low(v[4], v[5]);
    const V t5 = unpack_high(v[4], v[5]);
    const V t6 = unpack_low(v[6], v[7]);
    const V t7 = unpack_high(v[6], v[7]);
    s[0] = shuffle_pairs<0x44>(t0, t2);
    s[1] = shuffle_pairs<0xEE>(t0, t2);
    s[2] = shuffle_pairs<0x44>(t1, t3);
    s[3] = shuffle_pairs<0xEE>(t1, t3);
    s[4] = shuffle_pairs<0x44>(t4, t6);
    s[5] = shuffle_pairs<0xEE>(t4, t6);
    s[6] = shuffle_pairs<0x44>(t5, t7);
    s[7] = shuffle_pairs<0xEE>(t5, t7);
}

// The chains of every row of a batch, one register per quantity with a lane per row (lane k is
// row k; lanes without a row step zeros that nobody reads).
struct avx2_row_chains {
    __m256 state[interpolant::count];
    __m256 step[interpolant::count];

    avx2_row_chains(const float (&starts)[interpolant::count][span_batch_rows], const interpolants_t& steps) {
        for (int q = 0; q < interpolant::count; ++q) {
            state[q] = _mm256_load_ps(starts[q]);
            step[q] = _mm256_set1_ps(steps.at[q]);
        }
    }

    // The next block_pixels pixels: serial additions, and after each eight of them an 8 x 8
    // transpose so that each row's values of a quantity lie side by side in the block.
    void next(row_block_t& block) {
        for (int q = 0; q < interpolant::count; ++q) {
            __m256 x = state[q];
            for (int at = 0; at < block_pixels; at += 8) {
                __m256 p[8];
                for (int j = 0; j < 8; ++j) {
                    p[j] = x;
                    x = _mm256_add_ps(x, step[q]);
                }
                __m256 s[8];
                transpose_within_lanes(p, s);
                // Row k from the low lanes of s_k and s_{k+4}, row k + 4 from their high lanes.
                for (int k = 0; k < 4; ++k) {
                    _mm256_store_ps(block.v[k][q] + at, _mm256_permute2f128_ps(s[k], s[k + 4], 0x20));
                    _mm256_store_ps(block.v[k + 4][q] + at, _mm256_permute2f128_ps(s[k], s[k + 4], 0x31));
                }
            }
            state[q] = x;
        }
    }
};

// How far ahead of the pixel being drawn a row's depth and pixel lines are fetched.
constexpr int64_t prefetch_ahead = 2 * block_pixels;

// The lines of the 32 bytes of depths and of pixels from at onwards: every line a run of
// pixels touches is asked for when its steps of 8 pixels are.
void prefetch_pixels(const span_row_t& row, int64_t at) {
    __builtin_prefetch(row.depth + at, 1, 3);
    __builtin_prefetch(row.pixels + at * 4, 1, 3);
}

// The rows of one batch: the chains of every row stepped together a block at a time (by
// RowChains, built from the rows' start values, quantity by quantity),
// then draw_block(pixels, depth, values, left) for each row that still has pixels, with its
// block's values (quantity q at values[q * block_pixels]) and the pixels left in the row
// (more than 0; only the first block_pixels of them are drawn). A draw_block that leaves work
// pending across calls has it done by its finish() at the end. Returns the pixels drawn.
template <class RowChains, class DrawBlock>
uint32_t fill_row_batch(const span_row_t* rows, int row_count, const interpolants_t& steps, DrawBlock&& draw_block) {
    alignas(32) float starts[interpolant::count][span_batch_rows] = {};
    int64_t longest = 0;
    for (int k = 0; k < row_count; ++k) {
        for (int q = 0; q < interpolant::count; ++q) starts[q][k] = rows[k].start.at[q];
        longest = rows[k].count > longest ? rows[k].count : longest;
    }
    RowChains chains(starts, steps);
    // The rows' depths and pixels are seldom in the cache: each row asks for its lines
    // prefetch_ahead pixels before it reaches them, so the rows' misses overlap.
    for (int k = 0; k < row_count; ++k) {
        for (int64_t at = 0; at < prefetch_ahead && at < rows[k].count; at += 8) prefetch_pixels(rows[k], at);
    }
    row_block_t block;
    uint32_t drawn = 0;
    for (int64_t done = 0; done < longest; done += block_pixels) {
        chains.next(block);
        for (int k = 0; k < row_count; ++k) {
            const int64_t left = rows[k].count - done;
            if (left <= 0) continue;
            if (left > prefetch_ahead) {
                prefetch_pixels(rows[k], done + prefetch_ahead);
                prefetch_pixels(rows[k], done + prefetch_ahead + 8);
            }
            drawn += draw_block(rows[k].pixels + done * 4, rows[k].depth + done, &block.v[k][0][0], left);
        }
    }
    if constexpr (requires { draw_block.finish(); }) draw_block.finish();
    return drawn;
}

}  // namespace

#endif
