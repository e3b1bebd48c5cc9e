// Exact serial-addition chains: the values v, v + d, (v + d) + d, ... in single precision, computed in bulk.
#pragma once

#include <bit>
#include <cstdint>

// A span's interpolants are defined as a serial chain of single-precision additions: the
// value at pixel k is the value at pixel k - 1 plus the step, rounded. A chain cannot be
// re-associated (v + k * d rounds differently), so done naively it costs one add latency per
// pixel. But while the values stay strictly inside one binade (one power-of-two interval of
// fixed sign), every value is a multiple of the same ulp, and adding d rounds to the same
// grid each time: v + d rounds to v + D, where D is d rounded to a multiple of that ulp, for
// every v on the grid, unless d lies exactly half-way between two multiples (a tie, whose
// rounding depends on the parity of v). In such a run the chain is exactly the arithmetic
// progression v + j * D, and each j * D and each v + j * D is exact in single precision, so
// the values can be produced independently of one another, several per instruction.
//
// regular_run() finds such a run and says how long it is; the fill and skip functions walk
// a chain of any length with runs where they exist and single serial additions elsewhere
// (zero, subnormal, infinite and NaN values, binade crossings, ties). The results are the
// bits of the plain serial loop in every case; tests/raster checks that over many millions
// of chains, including the boundaries.

namespace span_chain {

struct run_t {
    int32_t length;  // v_j = v + j * step is exact for 0 <= j <= length (0: no run from here)
    float step;      // D, the rounded increment
};

// The exact run that starts at v for the increment d, cut to at most `want` steps (want >= 0;
// asking only for what is needed spares a division in the common case).
inline run_t regular_run(float v, float d, int32_t want) {
    const uint32_t bv = std::bit_cast<uint32_t>(v);
    if (d == 0.0f) {
        // Adding zero keeps the value, bit for bit, with one exception: -0 + +0 is +0
        // (that one step is then taken serially). NaN d is not equal to zero.
        return {std::bit_cast<uint32_t>(v + d) == bv ? want : 0, d};
    }
    const uint32_t exponent = (bv >> 23) & 0xFFu;
    // Zero, subnormals, infinities and NaN have no run; neither do tiny values, so that the
    // half-ulp below stays a normal float and the tie test stays exact.
    if (exponent < 26u || exponent == 0xFFu) return {0, 0.0f};
    const float t = v + d;
    const uint32_t bt = std::bit_cast<uint32_t>(t);
    // The first step must stay in v's binade with v's sign (this also rejects NaN and
    // infinite sums); then t - v is exact (Sterbenz) and so is d - (t - v) (it is the
    // rounding error of the addition, and D is 0 or within a factor of two of d).
    if ((bt >> 23) != (bv >> 23)) return {0, 0.0f};
    const float step = t - v;
    const float error = d - step;
    const float half_ulp = std::bit_cast<float>((exponent - 24u) << 23);
    if (error == half_ulp || error == -half_ulp) return {0, 0.0f};

    // Positions inside the binade in ulps: the mantissa field. Values must keep at least
    // one ulp from both ends of the binade, so that every exact sum v_j + d (within half an
    // ulp of v_{j+1}) rounds on this binade's grid.
    const auto mantissa = static_cast<int32_t>(bv & 0x7FFFFFu);
    const auto ulps = static_cast<int32_t>(bt - bv);  // signed move of the magnitude, in ulps
    constexpr int32_t top = (int32_t{1} << 23) - 1;
    int32_t room = 0;   // ulps the magnitude may still move in its direction
    int32_t speed = 0;  // ulps per step
    if (ulps > 0) {
        room = top - mantissa;
        speed = ulps;
    } else if (ulps < 0) {
        room = mantissa - 1;
        speed = -ulps;
    } else {
        // d below half an ulp: the value stands still, unless d pulls the magnitude down
        // from the very bottom of the binade, where the grid below is finer.
        const bool pulls_down = (d < 0.0f) != (v < 0.0f) && d != 0.0f;
        return {(pulls_down && mantissa < 1) ? 0 : want, step};
    }
    if (room < 0) return {0, 0.0f};
    if (int64_t{speed} * want <= room) return {want, step};
    return {room / speed, step};
}

// Writes the chain's first n values (out[0] = v) and returns the value after n additions.
inline float fill(float v, float d, int32_t n, float* out) {
    int32_t k = 0;
    while (k < n) {
        const run_t run = regular_run(v, d, n - k);
        if (run.length == 0) {
            out[k++] = v;
            v += d;
            continue;
        }
        const int32_t m = run.length;
        float* dst = out + k;
        for (int32_t j = 0; j < m; ++j) dst[j] = v + static_cast<float>(j) * run.step;
        v += static_cast<float>(m) * run.step;
        k += m;
    }
    return v;
}

// The value after n additions, without the values on the way.
inline float skip(float v, float d, int64_t n) {
    while (n > 0) {
        const int32_t want = n < (int64_t{1} << 24) ? static_cast<int32_t>(n) : int32_t{1} << 24;
        const run_t run = regular_run(v, d, want);
        if (run.length == 0) {
            v += d;
            --n;
            continue;
        }
        const int32_t m = run.length;
        v += static_cast<float>(m) * run.step;
        n -= m;
    }
    return v;
}

}  // namespace span_chain
