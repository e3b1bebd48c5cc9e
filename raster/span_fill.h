// The inner loops of filled spans: many pixels per instruction, with exactly the bits of the pixel-by-pixel rules.
#pragma once

#include <cstdint>

#include "raster/interpolants.h"

struct texture_t;

// count pixels of one row from pixels / depth onwards (all inside the framebuffer), the
// values stepped once per pixel as the span rules say. Returns the pixels drawn.
uint32_t fill_vertex_colour_span(uint8_t* pixels, float* depth, int64_t count, const interpolants_t& start,
                                 const interpolants_t& steps);

// One row's share of a batch: the span's first visible pixel and depth, its pixel count and
// the values at that pixel.
struct span_row_t {
    uint8_t* pixels = nullptr;
    float* depth = nullptr;
    int64_t count = 0;
    interpolants_t start;
};

// Up to this many rows are filled together; their chains run side by side, which hides the
// latency of the serial additions.
inline constexpr int span_batch_rows = 8;

// Vertex-colour fill of 1 .. span_batch_rows different rows that share the same x steps
// (rows of one triangle). Returns the pixels drawn.
uint32_t fill_vertex_colour_rows(const span_row_t* rows, int row_count, const interpolants_t& steps);

// Textured fill of 1 .. span_batch_rows different rows of one triangle, sampling texture.
// Returns the pixels drawn.
uint32_t fill_textured_rows(const span_row_t* rows, int row_count, const interpolants_t& steps,
                            const texture_t& texture);

// The instruction sets the fills can use. best picks the widest this processor runs; the
// others exist so tests and benchmarks can hold every path against the same reference. The
// first path in use is the one the environment variable SOFTCUBE_ISA names (portable, sse2,
// avx2 or avx512), else the widest; a name the processor cannot run, or does not know, gives
// one warning line on stderr and the widest.
enum class span_isa_t { portable, sse2, avx2, avx512, best };

// The path in use, and a way to choose one (an unsupported choice falls back to the best
// supported one; returns the path actually taken).
span_isa_t span_isa();
span_isa_t set_span_isa(span_isa_t isa);
const char* span_isa_name(span_isa_t isa);
