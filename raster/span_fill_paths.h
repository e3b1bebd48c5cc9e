// What the span fill paths of each instruction set share: the sampler, the baseline helpers they call and their entry
// points.
#pragma once

#include <cstdint>
#include <string>

#include "raster/span_fill.h"

struct texture_t;

// The files of the wide paths are compiled for their own instruction set, so what they share
// with the baseline files is plain data or a function compiled in a baseline file: an inline
// function emitted by both an AVX2 file and a baseline file could be merged into the AVX2 copy
// and run where AVX2 is absent. Everything such a file defines itself lives in its own
// namespace (sse2, avx2, avx512) with internal linkage, but for the two entry points below.

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

// The texel columns x and rows y of `lanes` lanes that the wide paths cannot finish in their
// registers, lane by lane in baseline code: the lanes outside the bit mask `ordinary` (scaled
// coordinates u and v beyond 2^31 in magnitude, or not finite) from texel_coordinate, then, for
// sizes that are not powers of two, every lane's remainder by the size.
void texel_coordinates_by_lane(uint32_t* x, uint32_t* y, const float* u, const float* v, int lanes, int ordinary,
                               const texel_sampler_t& sampler);

// The path that SOFTCUBE_ISA (text, null when unset) asks for on a processor whose widest path
// is `widest`, and the one-line warning to give when the request cannot be met (empty when it
// can): unset or empty asks for the widest; a path the processor lacks and an unknown name
// both fall back to the widest.
struct span_isa_request_t {
    span_isa_t isa;
    std::string warning;
};
span_isa_request_t span_isa_requested(const char* text, span_isa_t widest);

// The entry points of each wide path (raster/span_driver.inl): the vertex-colour rows of one
// batch (see fill_vertex_colour_rows) and its textured rows (see fill_textured_rows; they need
// sampler.lanes).
namespace sse2 {
uint32_t fill_vertex_colour_rows(const span_row_t* rows, int row_count, const interpolants_t& steps);
uint32_t fill_textured_rows(const span_row_t* rows, int row_count, const interpolants_t& steps,
                            const texel_sampler_t& sampler);
}  // namespace sse2
namespace avx2 {
uint32_t fill_vertex_colour_rows(const span_row_t* rows, int row_count, const interpolants_t& steps);
uint32_t fill_textured_rows(const span_row_t* rows, int row_count, const interpolants_t& steps,
                            const texel_sampler_t& sampler);
}  // namespace avx2
namespace avx512 {
uint32_t fill_vertex_colour_rows(const span_row_t* rows, int row_count, const interpolants_t& steps);
uint32_t fill_textured_rows(const span_row_t* rows, int row_count, const interpolants_t& steps,
                            const texel_sampler_t& sampler);
}  // namespace avx512
