// Exact addition chains taken a run at a time, held against the plain serial loop bit for bit.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

#include "raster/span_chain.h"

namespace {

// Equal bits; any two NaNs count as equal, since which NaN an addition of two NaNs returns
// depends on the order in which the compiler puts the operands.
bool same(float a, float b) { return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b) || (a != a && b != b); }

// Checks fill and skip for one chain; returns false (after one failure report) on a mismatch.
bool check_chain(float v, float d, int32_t n) {
    std::vector<float> out(static_cast<size_t>(n) + 1);
    const float end = span_chain::fill(v, d, n, out.data());
    float s = v;
    for (int32_t k = 0; k < n; ++k) {
        if (!same(s, out[static_cast<size_t>(k)])) {
            ADD_FAILURE() << std::hexfloat << "v=" << v << " d=" << d << " value " << k << ": " << out[static_cast<size_t>(k)]
                          << " instead of " << s;
            return false;
        }
        s += d;
    }
    if (!same(s, end) || !same(s, span_chain::skip(v, d, n))) {
        ADD_FAILURE() << std::hexfloat << "v=" << v << " d=" << d << " n=" << n << ": end differs from " << s;
        return false;
    }
    return true;
}

}  // namespace

TEST(ExactChain, BoundaryValuesAndSteps) {
    // Zeros of both signs (-0 + -0 stays -0, -0 + +0 becomes +0), infinities, NaN, subnormals,
    // powers of two and their neighbours (binade edges), steps of exactly half an ulp (ties).
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> special = {0.0f, 1.0e-45f, 1.0e-39f, std::ldexp(1.0f, -126), std::ldexp(1.0f, -101),
                                  std::ldexp(1.0f, -100), std::ldexp(1.0f, -25), std::ldexp(3.0f, -25),
                                  std::ldexp(1.0f, -24), std::ldexp(1.0f, -23), 0.5f, 1.0f, 2.0f, 3.0e38f, inf,
                                  std::numeric_limits<float>::quiet_NaN(), std::nextafter(1.0f, 2.0f),
                                  std::nextafter(1.0f, 0.0f), std::nextafter(0.5f, 0.0f), 0.1f, 1.0e37f};
    const size_t base = special.size();
    for (size_t i = 0; i < base; ++i) special.push_back(-special[i]);
    for (float v : special) {
        for (float d : special) {
            for (int32_t n : {0, 1, 2, 3, 9, 200}) {
                if (!check_chain(v, d, n)) return;
            }
        }
    }
}

TEST(ExactChain, RandomChainsAcrossBinadesAndTies) {
    // SOFTCUBE_DIFF_ITERATIONS scales this test with the span comparison.
    const char* text = std::getenv("SOFTCUBE_DIFF_ITERATIONS");
    const uint64_t chains = text != nullptr && std::strtoull(text, nullptr, 10) != 0 ? std::strtoull(text, nullptr, 10) : 40000;
    std::mt19937_64 rng(2024);
    const auto uniform = [&](float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng); };
    for (uint64_t i = 0; i < chains; ++i) {
        float v = 0.0f;
        switch (rng() % 4) {
            case 0: v = uniform(-1.0f, 1.0f); break;
            case 1: v = std::ldexp(1.0f, static_cast<int>(rng() % 40) - 20) * (rng() % 2 == 0 ? 1.0f : -1.0f); break;
            case 2: v = std::bit_cast<float>(static_cast<uint32_t>(rng())); break;
            default: v = uniform(-1000.0f, 1000.0f); break;
        }
        float d = 0.0f;
        switch (rng() % 4) {
            case 0: {  // whole multiples of half of v's ulp: ties and exact steps
                int e = 0;
                std::frexp(v, &e);
                d = std::ldexp(static_cast<float>(static_cast<int>(rng() % 9) - 4), e - 25);
                break;
            }
            case 1: d = v * std::ldexp(1.0f, -static_cast<int>(rng() % 30)) * (rng() % 2 == 0 ? 1.0f : -1.0f); break;
            case 2: d = uniform(-0.01f, 0.01f); break;
            default: d = uniform(-1.0f, 1.0f) * std::ldexp(1.0f, -static_cast<int>(rng() % 12)); break;
        }
        if (!check_chain(v, d, static_cast<int32_t>(rng() % 300))) return;
    }
}
