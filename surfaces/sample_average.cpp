// Averaging samples into pixels with exact tables of rounded quotients.
#include "surfaces/sample_average.h"

#include <array>
#include <cstddef>
#include <vector>

#include "surfaces/draw_state.h"
#include "surfaces/render_target.h"

namespace {

// n / divisor rounded to nearest, ties to even.
uint64_t rounded_quotient(uint64_t n, uint64_t divisor) {
    const uint64_t q = n / divisor;
    const uint64_t twice_rest = 2 * (n - q * divisor);
    return q + ((twice_rest > divisor || (twice_rest == divisor && (q & 1) != 0)) ? 1 : 0);
}

// The average byte of every sum of factor^2 bytes, for each factor.
struct average_tables_t {
    std::array<std::vector<uint8_t>, max_ssaa + 1> of;
    average_tables_t() {
        for (uint32_t f = 2; f <= max_ssaa; ++f) {
            const uint32_t n = f * f;
            of[f].resize(255 * n + 1);
            for (uint32_t sum = 0; sum <= 255 * n; ++sum) of[f][sum] = static_cast<uint8_t>(rounded_quotient(sum, n));
        }
    }
};
const average_tables_t average_tables;

// One row of pixels from its factor rows of samples; the factor fixed, so the loops unroll.
template <uint32_t factor>
void average_row(const uint8_t* samples, size_t sample_row_bytes, uint8_t* out, uint32_t width) {
    const uint8_t* table = average_tables.of[factor].data();
    for (uint32_t x = 0; x < width; ++x) {
        uint32_t sum[4] = {0, 0, 0, 0};
        for (uint32_t dy = 0; dy < factor; ++dy) {
            const uint8_t* s = samples + dy * sample_row_bytes + size_t{x} * factor * 4;
            for (uint32_t dx = 0; dx < factor; ++dx) {
                for (int c = 0; c < 4; ++c) sum[c] += s[dx * 4 + c];
            }
        }
        for (int c = 0; c < 4; ++c) out[size_t{x} * 4 + c] = table[sum[c]];
    }
}

}  // namespace

void average_samples(const render_target_t& samples, render_target_t& out, uint32_t factor, uint64_t first,
                     uint64_t end) {
    if (factor < 2 || factor > max_ssaa || samples.framebuffer == nullptr || out.framebuffer == nullptr ||
        samples.width != out.width * factor || samples.height != out.height * factor) {
        return;
    }
    const size_t sample_row_bytes = size_t{samples.width} * 4;
    for (uint64_t y = first; y < end && y < out.height; ++y) {
        const uint8_t* from = samples.framebuffer + y * factor * sample_row_bytes;
        uint8_t* to = out.framebuffer + y * out.width * 4;
        switch (factor) {
            case 2:
                average_row<2>(from, sample_row_bytes, to, out.width);
                break;
            case 3:
                average_row<3>(from, sample_row_bytes, to, out.width);
                break;
            default:
                average_row<4>(from, sample_row_bytes, to, out.width);
                break;
        }
    }
}

uint32_t pixels_of_samples(uint32_t samples_written, uint32_t factor) {
    return static_cast<uint32_t>(rounded_quotient(samples_written, uint64_t{factor} * factor));
}
