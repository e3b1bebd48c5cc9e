// Supersampling's last step: each pixel the average of its factor x factor samples, byte by byte.
#pragma once

#include <cstdint>

struct render_target_t;

// Rows first .. end - 1 of `out` from `samples` (factor times its size each way): each of a
// pixel's four bytes (blue, green, red, alpha) is the average of the same byte of its
// factor x factor samples, the sum divided by factor^2 and rounded to the nearest byte, ties
// to the even one, through an exact table. The bytes are averaged as they are stored, not
// in linear light: the renderer blends in those same bytes, and an average that is linear
// in them keeps a transparent picture's composition of two drawings exact (its alpha, the
// difference of the two, is then the average coverage). Rows of `out` depend on their own
// samples only, so shares of rows may be done at once. factor is 2 .. max_ssaa.
void average_samples(const render_target_t& samples, render_target_t& out, uint32_t factor, uint64_t first,
                     uint64_t end);

// The pixel count of a supersampled frame: the samples written divided by factor^2, rounded
// to the nearest whole number, ties to the even one.
uint32_t pixels_of_samples(uint32_t samples_written, uint32_t factor);
