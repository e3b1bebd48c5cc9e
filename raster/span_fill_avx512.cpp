// The AVX-512 span fill path: its lane table (sixteen pixels per register, masks in mask registers) and its choice of
// layouts for the shared driver.
#include "raster/span_fill_paths.h"

// This file alone is compiled for AVX-512 (raster/CMakeLists.txt) and only runs where the
// processor has it; like the AVX2 file it shares no inline function with the baseline files.
#if defined(__AVX512F__) && defined(__AVX512BW__) && defined(__AVX512VL__) && defined(__AVX512DQ__)
#include <immintrin.h>

#include "raster/span_lanes.h"

namespace avx512 {
namespace {

// Masks are mask registers, one bit per lane, so a compare, a select or a partial load or
// store is one instruction.
struct lanes : shuffled_byte_lanes<lanes> {
    using f = __m512;
    using i = __m512i;
    using m = __mmask16;
    static constexpr int width = 16;
    // Every load and store is the unaligned form: on aligned addresses both forms cost the
    // same, and not every caller's values are aligned to 64 bytes.
    static f load(const float* p) { return _mm512_loadu_ps(p); }
    static f loadu(const float* p) { return _mm512_loadu_ps(p); }
    static void store(float* p, f v) { _mm512_storeu_ps(p, v); }
    static void storeu(float* p, f v) { _mm512_storeu_ps(p, v); }
    static i load_i(const uint32_t* p) { return _mm512_loadu_si512(p); }
    static void store_i(uint32_t* p, i v) { _mm512_storeu_si512(p, v); }
    static i loadu_i(const uint8_t* p) { return _mm512_loadu_si512(p); }
    static void storeu_i(uint8_t* p, i v) { _mm512_storeu_si512(p, v); }
    // Only the lanes of k are read or written; the others read as zero.
    static f loadu_part(const float* p, m k) { return _mm512_maskz_loadu_ps(k, p); }
    static i loadu_part_i(const uint8_t* p, m k) { return _mm512_maskz_loadu_epi32(k, p); }
    static void storeu_part(float* p, m k, f v) { _mm512_mask_storeu_ps(p, k, v); }
    static void storeu_part_i(uint8_t* p, m k, i v) { _mm512_mask_storeu_epi32(p, k, v); }
    static f add(f a, f b) { return _mm512_add_ps(a, b); }
    static f sub(f a, f b) { return _mm512_sub_ps(a, b); }
    static f mul(f a, f b) { return _mm512_mul_ps(a, b); }
    static f div(f a, f b) { return _mm512_div_ps(a, b); }
    static m and_m(m a, m b) { return static_cast<m>(a & b); }
    static m or_m(m a, m b) { return static_cast<m>(a | b); }
    static m eq_i(i a, i b) { return _mm512_cmpeq_epi32_mask(a, b); }
    static m not_ge(f a, f b) { return _mm512_cmp_ps_mask(a, b, _CMP_NGE_UQ); }
    static m lanes_below(int count) {
        return static_cast<m>(count >= width ? 0xFFFF : count <= 0 ? 0 : (1u << count) - 1);
    }
    static int mask_bits(m k) { return static_cast<int>(k); }
    static f select_f(m k, f yes, f no) { return _mm512_mask_blend_ps(k, no, yes); }
    static i select_i(m k, i yes, i no) { return _mm512_mask_blend_epi32(k, no, yes); }
    // A gather: on processors with AVX-512 it beats sixteen loads put together one by one. The
    // texel index ty * row + tx stays below 2^31 (sampler.lanes), and every lane's coordinates
    // are reduced into the texture, so every lane reads inside it.
    static i fetch(const uint8_t* texels, uint32_t row, i tx, i ty) {
        const i index = _mm512_add_epi32(_mm512_mullo_epi32(ty, _mm512_set1_epi32(static_cast<int>(row))), tx);
        return _mm512_i32gather_epi32(index, texels, 4);
    }
    static f splat(float v) { return _mm512_set1_ps(v); }
    static f splat_eights(const float* values) {
        return _mm512_insertf32x8(_mm512_castps256_ps512(_mm256_set1_ps(values[0])), _mm256_set1_ps(values[1]), 1);
    }
    static i splat_i(int v) { return _mm512_set1_epi32(v); }
    static i to_int(f a) { return _mm512_cvtps_epi32(a); }
    static f to_float(i a) { return _mm512_cvtepi32_ps(a); }
    static i and_i(i a, i b) { return _mm512_and_si512(a, b); }
    static i or_i(i a, i b) { return _mm512_or_si512(a, b); }
    static i add_i(i a, i b) { return _mm512_add_epi32(a, b); }
    static i sub_i(i a, i b) { return _mm512_sub_epi32(a, b); }
    // Sums of the products of signed 16-bit pairs, one per 32-bit lane.
    static i madd16(i a, i b) { return _mm512_madd_epi16(a, b); }
    template <int n>
    static i srl(i a) {
        return _mm512_srli_epi32(a, n);
    }
    template <int n>
    static i sll(i a) {
        return _mm512_slli_epi32(a, n);
    }
    // Byte `from` of each lane moved to byte `to` of the same lane, every other byte cleared.
    template <int from, int to>
    static i move_byte(i a) {
        constexpr auto at = [](int p) { return static_cast<char>(p % 4 == to ? p / 4 * 4 + from : -1); };
        const __m128i order = _mm_setr_epi8(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7), at(8), at(9),
                                            at(10), at(11), at(12), at(13), at(14), at(15));
        return _mm512_shuffle_epi8(a, _mm512_broadcast_i32x4(order));
    }
    static f fmadd(f a, f b, f c) { return _mm512_fmadd_ps(a, b, c); }
    static f unpack_low(f a, f b) { return _mm512_unpacklo_ps(a, b); }
    static f unpack_high(f a, f b) { return _mm512_unpackhi_ps(a, b); }
    template <int order>
    static f shuffle(f a, f b) {
        return _mm512_shuffle_ps(a, b, order);
    }
    // The chain of 128-bit lane h: lane h of a, then of b; one two-source permute puts the
    // chains of lanes 0 and 1 side by side, another those of lanes 2 and 3.
    template <class Run>
    static void store_runs(f a, f b, Run run) {
        const __m512i first = _mm512_setr_epi32(0, 1, 2, 3, 16, 17, 18, 19, 4, 5, 6, 7, 20, 21, 22, 23);
        const __m512i second = _mm512_setr_epi32(8, 9, 10, 11, 24, 25, 26, 27, 12, 13, 14, 15, 28, 29, 30, 31);
        const f low = _mm512_permutex2var_ps(a, first, b);
        const f high = _mm512_permutex2var_ps(a, second, b);
        if (float* p = run(0)) _mm256_store_ps(p, _mm512_castps512_ps256(low));
        if (float* p = run(1)) _mm256_store_ps(p, _mm512_extractf32x8_ps(low, 1));
        if (float* p = run(2)) _mm256_store_ps(p, _mm512_castps512_ps256(high));
        if (float* p = run(3)) _mm256_store_ps(p, _mm512_extractf32x8_ps(high, 1));
    }
};

// The driver's choices (softcube_bench, one thread, 7 December 2026).
struct layout {
    using texel_pass = lanes;
    // The gather's wait is spent on the previous group's blend: overlapped, BM_mode/1 takes
    // 194 us, against 210 us in order.
    static constexpr bool overlap_texel_groups = true;
};

}  // namespace

#include "raster/span_driver.inl"

}  // namespace avx512
#endif
