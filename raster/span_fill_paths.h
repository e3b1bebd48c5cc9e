// What the span fill paths of each instruction set share: the row-pair layout of a batch and the entry points.
#pragma once

#include <cstdint>
#include <string>

#include "raster/span_fill.h"

struct texture_t;

// The files of the wide paths are compiled for their own instruction set, so what they share
// is either plain data or has internal linkage here: an inline function emitted by both an
// AVX2 file and a baseline file could be merged into the AVX2 copy and run where AVX2 is absent.

// Batches of rows. Each row's running values live in one 4-float record per quantity group
// (red, green, blue, alpha) and (z, shade, 0, 0); the chain of additions steps the records of
// all rows of a batch side by side, and the records are written for every pixel. Rows are
// paired: pair p holds row 2p in floats 0..3 and row 2p + 1 in floats 4..7 of each entry, the
// layout in which one 256-bit register holds both rows.
constexpr int32_t batch_chunk = 64;

struct alignas(32) row_pair_chunk_t {
    float c[batch_chunk][8];
    float q[batch_chunk][8];
};

// A textured span is cut into chunks whose values live in these arrays; 128 pixels keep the
// arrays on the stack and in the first-level cache, and the per-chunk set-up small.
constexpr int32_t chunk = 128;

struct alignas(32) colour_chunk_t {
    float r[chunk];
    float g[chunk];
    float b[chunk];
    float a[chunk];
    float z[chunk];
    float s[chunk];
};

// Every interpolant of a textured chunk, quantity by quantity in interpolant order.
struct alignas(32) texture_chunk_t {
    float v[interpolant::count][chunk];
};

// Rows stepped side by side: sixteen pixels of each row of a batch, quantity by quantity in
// interpolant order, so a row's values for a pixel are 16 floats apart.
constexpr int32_t block_pixels = 16;

struct alignas(64) row_block_t {
    float v[span_batch_rows][interpolant::count][block_pixels];
};

// b / 255.0f for every byte b without a division: b * 0x1.01p-8 is exact (17 significant
// bits), b * 0x1.010102p-24 carries the rest of 1 / 255 far below the result's last bit, and
// the one rounding of their sum gives the quotient's bits for all 256 bytes.
constexpr float byte_fraction_high = 0x1.01p-8f;
constexpr float byte_fraction_low = 0x1.010102p-24f;

// What texture sampling needs, taken from the texture once per batch of rows.
struct texel_sampler_t {
    const texture_t* texture = nullptr;
    const uint8_t* pixels = nullptr;  // null when there is nothing to sample (every texel reads as 0)
    uint32_t width = 0;
    uint32_t height = 0;
    float scale_u = 0.0f;  // width and height as floats
    float scale_v = 0.0f;
    bool pow2 = false;   // both sizes powers of two: reduction by mask
    bool lanes = false;  // 4-byte texels and every texel index below 2^31: the wide paths may sample
};

namespace {

// The pixels of row that fall into the chunk starting `done` pixels into it.
inline int32_t chunk_count(const span_row_t& row, int64_t done) {
    const int64_t left = row.count - done;
    return static_cast<int32_t>(left <= 0 ? 0 : (left < batch_chunk ? left : batch_chunk));
}

}  // namespace

// The path that SOFTCUBE_ISA (text, null when unset) asks for on a processor whose widest path
// is `widest`, and the one-line warning to give when the request cannot be met (empty when it
// can): unset or empty asks for the widest; a path the processor lacks and an unknown name
// both fall back to the widest.
struct span_isa_request_t {
    span_isa_t isa;
    std::string warning;
};
span_isa_request_t span_isa_requested(const char* text, span_isa_t widest);

// Textured pixels from .. n, one by one as the rules are written: the whole span where the
// wide paths cannot sample. values holds quantity q of pixel i at values[q * stride + i].
uint32_t blend_texels_portable(uint8_t* pixels, float* depth, const float* values, int32_t stride, int32_t from,
                               int32_t n, const texel_sampler_t& sampler);

// wrapped_texel_coordinate, out of line for the wide paths' rare lanes (beyond 2^31, or not finite).
uint32_t texel_coordinate_of(float v);

// Textured pixels 0 .. n of a chunk on the SSE2 path.
uint32_t blend_texels_sse2(uint8_t* pixels, float* depth, const texture_chunk_t& v, int32_t n,
                           const texel_sampler_t& sampler);

// Pixels from .. n of one row whose records start at c and q, 8 floats apart (SSE2).
uint32_t blend_row_sse2(uint8_t* pixels, float* depth, const float* c, const float* q, int32_t from, int32_t n);

// Vertex-colour rows of one batch (see fill_vertex_colour_rows), on each wide path.
uint32_t fill_rows_sse2(const span_row_t* rows, int row_count, const interpolants_t& steps);
uint32_t fill_rows_avx2(const span_row_t* rows, int row_count, const interpolants_t& steps);
uint32_t fill_rows_avx512(const span_row_t* rows, int row_count, const interpolants_t& steps);

// Textured rows of one batch (see fill_textured_rows) on the AVX2 and AVX-512 paths; need
// sampler.lanes.
uint32_t fill_textured_rows_avx2(const span_row_t* rows, int row_count, const interpolants_t& steps,
                                 const texel_sampler_t& sampler);
uint32_t fill_textured_rows_avx512(const span_row_t* rows, int row_count, const interpolants_t& steps,
                                   const texel_sampler_t& sampler);
