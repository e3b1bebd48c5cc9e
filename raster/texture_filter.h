// Filtered texture sampling: bilinear, and trilinear between mip levels, in exact integer weights.
#pragma once

#include <cstdint>

#include "raster/interpolants.h"
#include "raster/span_fill.h"
#include "surfaces/draw_state.h"

struct texture_t;

// One level of a texture as the filters read it: w x h texels of bytes_per_texel bytes.
struct filter_level_t {
    const uint8_t* texels = nullptr;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bytes_per_texel = 4;
};

// Bilinear: the texture's texel k has its centre at u = (k + 0.5) / width, as in the usual
// convention (the nearest rule's nearest(u * width + 0.5) puts texel k's centre half a texel
// further, and that mode keeps it). So p = u * width - 0.5 (in single precision), the texels
// floor(p) and floor(p) + 1 wrapped into the texture, the weight of the second
// nearest(256 * (p - floor(p))) in 0 .. 256, the same across in v; each byte the sum of the
// four texels' bytes times their weights' products, divided by 65536 and rounded to the
// nearest, ties to even. A p that is not finite takes texel 0 and weight 0; beyond 2^23, where
// every float is whole, texel_coordinate(p) (math/nearest.h) and weight 0. A texel's bytes
// beyond the texture's bytes per texel read 0.
void sample_bilinear(const filter_level_t& level, float u, float v, uint8_t out[4]);

// The mip level a pixel reads under trilinear filtering, in 1/256 levels, from the change of u
// and v (in texels of level 0) per pixel step in x and in y: rho^2 = the larger of
// du/dx^2 + dv/dx^2 and du/dy^2 + dv/dy^2 (single precision); the level is half the base-2
// logarithm of rho^2, read from the float's bits (exponent plus the top 8 bits of its
// fraction, linear between powers of two: exact integers, no library call). 0 and below:
// magnified (level 0); NaN counts as 0; infinity as the coarsest level.
int32_t mip_level_of_footprint(float du_dx, float dv_dx, float du_dy, float dv_dy);

// Trilinear: with the level L = mip_level_of_footprint (1/256 levels) at most 0, bilinear in
// level 0; at or beyond the last level, bilinear in it; between, bilinear in levels
// l = L / 256 and l + 1, each byte (a * (256 - f) + b * f) / 256 rounded to the nearest, ties
// to even, with f = L % 256. The derivatives are those of the perspective-correct u and v at
// the pixel: du/dx = (d(u/w)/dx - u d(1/w)/dx) * w, the same for y and for v, times the
// texture's width (height for v).
void sample_trilinear(const texture_t& texture, float u, float v, int32_t level_256, uint8_t out[4]);

// Textured rows as fill_textured_rows fills them (the same values stepped the same way, the
// same tests and blend), but each pixel's texel filtered. One scalar routine for every span
// path, so every path gives the same bits by construction. d_dy is needed for trilinear's
// footprint. Returns the pixels drawn.
uint32_t fill_filtered_rows(const span_row_t* rows, int row_count, const interpolants_t& d_dx,
                            const interpolants_t& d_dy, const texture_t& texture, texture_filter_t filter);
