// The SSE2 span fill path: its lane table (four pixels per register) and its choice of layouts for the shared driver.
#include "raster/span_fill_paths.h"

#if defined(__x86_64__) || defined(__i386__)
#include <emmintrin.h>

#include <cstring>

#include "raster/span_lanes.h"

namespace sse2 {
namespace {

struct lanes {
    using f = __m128;
    using i = __m128i;
    using m = __m128;  // all bits set in the lanes chosen
    static constexpr int width = 4;
    static f load(const float* p) { return _mm_load_ps(p); }
    static f loadu(const float* p) { return _mm_loadu_ps(p); }
    static void store(float* p, f v) { _mm_store_ps(p, v); }
    static void storeu(float* p, f v) { _mm_storeu_ps(p, v); }
    static i load_i(const uint32_t* p) { return _mm_load_si128(reinterpret_cast<const __m128i*>(p)); }
    static void store_i(uint32_t* p, i v) { _mm_store_si128(reinterpret_cast<__m128i*>(p), v); }
    static i loadu_i(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
    static void storeu_i(uint8_t* p, i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
    // SSE2 has no partial loads or stores: the lanes of k (a run from lane 0) go through a
    // copy, word by word, so nothing past them is touched.
    static int run_length(m k) { return __builtin_popcount(static_cast<unsigned>(_mm_movemask_ps(k))); }
    static f loadu_part(const float* p, m k) {
        alignas(16) float part[4] = {};
        for (int n = 0, end = run_length(k); n < end; ++n) part[n] = p[n];
        return _mm_load_ps(part);
    }
    static void storeu_part(float* p, m k, f v) {
        alignas(16) float part[4];
        _mm_store_ps(part, v);
        for (int n = 0, end = run_length(k); n < end; ++n) p[n] = part[n];
    }
    static i loadu_part_i(const uint8_t* p, m k) {
        alignas(16) uint8_t part[16] = {};
        for (int n = 0, end = run_length(k); n < end; ++n) std::memcpy(part + 4 * n, p + 4 * n, 4);
        return _mm_load_si128(reinterpret_cast<const __m128i*>(part));
    }
    static void storeu_part_i(uint8_t* p, m k, i v) {
        alignas(16) uint8_t part[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(part), v);
        for (int n = 0, end = run_length(k); n < end; ++n) std::memcpy(p + 4 * n, part + 4 * n, 4);
    }
    static f add(f a, f b) { return _mm_add_ps(a, b); }
    static f sub(f a, f b) { return _mm_sub_ps(a, b); }
    static f div(f a, f b) { return _mm_div_ps(a, b); }
    static m or_m(m a, m b) { return _mm_or_ps(a, b); }
    static m eq_i(i a, i b) { return _mm_castsi128_ps(_mm_cmpeq_epi32(a, b)); }
    // All bits set in lanes 0 .. count - 1.
    static m lanes_below(int count) {
        return _mm_castsi128_ps(_mm_cmplt_epi32(_mm_setr_epi32(0, 1, 2, 3), _mm_set1_epi32(count)));
    }
    // No gather: the four texels one by one, put together in registers (a vector load of words
    // just stored one by one would wait for the stores to drain).
    static i fetch(const uint8_t* texels, uint32_t row, i tx, i ty) {
        alignas(16) uint32_t x[4];
        alignas(16) uint32_t y[4];
        store_i(x, tx);
        store_i(y, ty);
        const auto word = [&](int k) {
            uint32_t w = 0;
            std::memcpy(&w, texels + (static_cast<size_t>(y[k]) * row + x[k]) * 4, 4);
            return static_cast<int>(w);
        };
        return _mm_setr_epi32(word(0), word(1), word(2), word(3));
    }
    static f splat(float v) { return _mm_set1_ps(v); }
    static f splat_eights(const float* values) { return _mm_set1_ps(values[0]); }
    static i splat_i(int v) { return _mm_set1_epi32(v); }
    static m not_ge(f a, f b) { return _mm_cmpnge_ps(a, b); }
    static m and_m(m a, m b) { return _mm_and_ps(a, b); }
    static int mask_bits(m k) { return _mm_movemask_ps(k); }
    static f select_f(m k, f yes, f no) { return _mm_or_ps(_mm_and_ps(k, yes), _mm_andnot_ps(k, no)); }
    static i select_i(m k, i yes, i no) {
        const i mi = _mm_castps_si128(k);
        return _mm_or_si128(_mm_and_si128(mi, yes), _mm_andnot_si128(mi, no));
    }
    static f mul(f a, f b) { return _mm_mul_ps(a, b); }
    static i to_int(f a) { return _mm_cvtps_epi32(a); }
    static f to_float(i a) { return _mm_cvtepi32_ps(a); }
    static i and_i(i a, i b) { return _mm_and_si128(a, b); }
    static i or_i(i a, i b) { return _mm_or_si128(a, b); }
    static i add_i(i a, i b) { return _mm_add_epi32(a, b); }
    static i sub_i(i a, i b) { return _mm_sub_epi32(a, b); }
    // Sums of the products of signed 16-bit pairs, one per 32-bit lane.
    static i madd16(i a, i b) { return _mm_madd_epi16(a, b); }
    static f unpack_low(f a, f b) { return _mm_unpacklo_ps(a, b); }
    static f unpack_high(f a, f b) { return _mm_unpackhi_ps(a, b); }
    template <int order>
    static f shuffle(f a, f b) {
        return _mm_shuffle_ps(a, b, order);
    }
    // One 128-bit lane: the chain's eight pixels are a then b.
    template <class Run>
    static void store_runs(f a, f b, Run run) {
        if (float* p = run(0)) {
            _mm_store_ps(p, a);
            _mm_store_ps(p + 4, b);
        }
    }
    // Byte k of each lane moved to bits 16..23, every other bit cleared.
    template <int k>
    static i byte_high(i a) {
        const i third = _mm_set1_epi32(0xFF0000);
        if constexpr (k == 0) return _mm_slli_epi32(_mm_and_si128(a, _mm_set1_epi32(0xFF)), 16);
        if constexpr (k == 1) return _mm_and_si128(_mm_slli_epi32(a, 8), third);
        if constexpr (k == 2) return _mm_and_si128(a, third);
        return _mm_and_si128(_mm_srli_epi32(a, 8), third);
    }
    template <int n>
    static i srl(i a) {
        return _mm_srli_epi32(a, n);
    }
    // Byte k of each lane, 0..255.
    template <int k>
    static i byte(i a) {
        if constexpr (k == 3) return _mm_srli_epi32(a, 24);
        return _mm_and_si128(_mm_srli_epi32(a, 8 * k), _mm_set1_epi32(0xFF));
    }
    // b / 255 for bytes b, with the bits of the division (see byte_fraction_high).
    static f fraction(i bytes) {
        const f b = _mm_cvtepi32_ps(bytes);
        return _mm_add_ps(_mm_mul_ps(b, _mm_set1_ps(byte_fraction_high)),
                          _mm_mul_ps(b, _mm_set1_ps(byte_fraction_low)));
    }
    // The low bytes of four sets of lanes as blue, green, red, alpha bytes of one pixel per lane.
    static i pack_low_bytes(i b, i g, i r, i a) {
        const i ff = _mm_set1_epi32(0xFF);
        return _mm_or_si128(_mm_or_si128(_mm_and_si128(b, ff), _mm_slli_epi32(_mm_and_si128(g, ff), 8)),
                            _mm_or_si128(_mm_slli_epi32(_mm_and_si128(r, ff), 16), _mm_slli_epi32(a, 24)));
    }
    template <int n>
    static i sll(i a) {
        return _mm_slli_epi32(a, n);
    }
};

// The driver's choices (softcube_bench, one thread, SOFTCUBE_ISA=sse2, 7 December 2026): with
// registers taken two at a time BM_mode/1 took 487 us against 492 us, within the noise, so one
// register per pass, in order.
struct layout {
    using texel_pass = lanes;
    static constexpr bool overlap_texel_groups = false;
};

}  // namespace

#include "raster/span_driver.inl"

}  // namespace sse2
#endif
