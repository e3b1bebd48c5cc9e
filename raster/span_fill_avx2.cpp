// The AVX2 span fill path: its lane table (eight pixels per register) and its choice of layouts for the shared driver.
#include "raster/span_fill_paths.h"

// This file alone is compiled for AVX2 (raster/CMakeLists.txt) and only runs where the
// processor has it. So that no function compiled here is shared with the baseline files, it
// calls no inline function of another header (not even the record's operator[]; builtins
// instead of <bit>) and keeps its own in the unnamed namespace within avx2.
#if defined(__AVX2__)
#include <immintrin.h>

#include "raster/span_lanes.h"

namespace avx2 {
namespace {

struct lanes : shuffled_byte_lanes<lanes> {
    using f = __m256;
    using i = __m256i;
    using m = __m256;  // all bits set in the lanes chosen
    static constexpr int width = 8;
    static f load(const float* p) { return _mm256_load_ps(p); }
    static f loadu(const float* p) { return _mm256_loadu_ps(p); }
    static void store(float* p, f v) { _mm256_store_ps(p, v); }
    static void storeu(float* p, f v) { _mm256_storeu_ps(p, v); }
    static i load_i(const uint32_t* p) { return _mm256_load_si256(reinterpret_cast<const __m256i*>(p)); }
    static void store_i(uint32_t* p, i v) { _mm256_store_si256(reinterpret_cast<__m256i*>(p), v); }
    static i loadu_i(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
    static void storeu_i(uint8_t* p, i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
    // Only the lanes of k (a run from lane 0) are read or written; the others read as zero.
    static f loadu_part(const float* p, m k) { return _mm256_maskload_ps(p, _mm256_castps_si256(k)); }
    static void storeu_part(float* p, m k, f v) { _mm256_maskstore_ps(p, _mm256_castps_si256(k), v); }
    static i loadu_part_i(const uint8_t* p, m k) {
        return _mm256_maskload_epi32(reinterpret_cast<const int*>(p), _mm256_castps_si256(k));
    }
    static void storeu_part_i(uint8_t* p, m k, i v) {
        _mm256_maskstore_epi32(reinterpret_cast<int*>(p), _mm256_castps_si256(k), v);
    }
    static f add(f a, f b) { return _mm256_add_ps(a, b); }
    static f sub(f a, f b) { return _mm256_sub_ps(a, b); }
    static f div(f a, f b) { return _mm256_div_ps(a, b); }
    static m or_m(m a, m b) { return _mm256_or_ps(a, b); }
    static m eq_i(i a, i b) { return _mm256_castsi256_ps(_mm256_cmpeq_epi32(a, b)); }
    // All bits set in lanes 0 .. count - 1.
    static m lanes_below(int count) {
        return _mm256_castsi256_ps(
            _mm256_cmpgt_epi32(_mm256_set1_epi32(count), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7)));
    }
    // A gather (softcube_bench, one thread, SOFTCUBE_ISA=avx2, 7 December 2026: BM_mode/1 took
    // 15.1 ms of CPU against 15.4 ms with the eight texels loaded one by one and put together
    // in registers). The texel index ty * row + tx stays below 2^31 (sampler.lanes), and every
    // lane's coordinates are reduced into the texture, so every lane reads inside it.
    static i fetch(const uint8_t* texels, uint32_t row, i tx, i ty) {
        const i index = _mm256_add_epi32(_mm256_mullo_epi32(ty, _mm256_set1_epi32(static_cast<int>(row))), tx);
        return _mm256_i32gather_epi32(reinterpret_cast<const int*>(texels), index, 4);
    }
    static f splat(float v) { return _mm256_set1_ps(v); }
    static f splat_eights(const float* values) { return _mm256_set1_ps(values[0]); }
    static i splat_i(int v) { return _mm256_set1_epi32(v); }
    static m not_ge(f a, f b) { return _mm256_cmp_ps(a, b, _CMP_NGE_UQ); }
    static m and_m(m a, m b) { return _mm256_and_ps(a, b); }
    static int mask_bits(m k) { return _mm256_movemask_ps(k); }
    static f select_f(m k, f yes, f no) { return _mm256_blendv_ps(no, yes, k); }
    static i select_i(m k, i yes, i no) { return _mm256_blendv_epi8(no, yes, _mm256_castps_si256(k)); }
    static f mul(f a, f b) { return _mm256_mul_ps(a, b); }
    static i to_int(f a) { return _mm256_cvtps_epi32(a); }
    static f to_float(i a) { return _mm256_cvtepi32_ps(a); }
    static i and_i(i a, i b) { return _mm256_and_si256(a, b); }
    static i or_i(i a, i b) { return _mm256_or_si256(a, b); }
    static i add_i(i a, i b) { return _mm256_add_epi32(a, b); }
    static i sub_i(i a, i b) { return _mm256_sub_epi32(a, b); }
    // Sums of the products of signed 16-bit pairs, one per 32-bit lane.
    static i madd16(i a, i b) { return _mm256_madd_epi16(a, b); }
    template <int n>
    static i srl(i a) {
        return _mm256_srli_epi32(a, n);
    }
    // Byte `from` of each lane moved to byte `to` of the same lane, every other byte cleared:
    // one byte shuffle (index -1 clears a byte).
    template <int from, int to>
    static i move_byte(i a) {
        constexpr auto at = [](int p) { return static_cast<char>(p % 4 == to ? p / 4 * 4 + from : -1); };
        const __m128i order = _mm_setr_epi8(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7), at(8), at(9),
                                            at(10), at(11), at(12), at(13), at(14), at(15));
        return _mm256_shuffle_epi8(a, _mm256_broadcastsi128_si256(order));
    }
    static f fmadd(f a, f b, f c) { return _mm256_fmadd_ps(a, b, c); }
    static f unpack_low(f a, f b) { return _mm256_unpacklo_ps(a, b); }
    static f unpack_high(f a, f b) { return _mm256_unpackhi_ps(a, b); }
    template <int order>
    static f shuffle(f a, f b) {
        return _mm256_shuffle_ps(a, b, order);
    }
    // The chain of 128-bit lane h: lane h of a, then of b.
    template <class Run>
    static void store_runs(f a, f b, Run run) {
        if (float* p = run(0)) _mm256_store_ps(p, _mm256_permute2f128_ps(a, b, 0x20));
        if (float* p = run(1)) _mm256_store_ps(p, _mm256_permute2f128_ps(a, b, 0x31));
    }
    template <int n>
    static i sll(i a) {
        return _mm256_slli_epi32(a, n);
    }
};

// The driver's choices (softcube_bench, one thread, SOFTCUBE_ISA=avx2, 7 December 2026).
struct layout {
    // Sixteen pixels per kernel pass, two registers whose work interleaves: BM_mode/1 takes
    // 253 us, against 267 us a register at a time.
    using texel_pass = lane_pair<lanes>;
    // The gather's wait is spent on the previous group's blend: overlapped, BM_mode/1 took
    // 14.9 ms of CPU against 15.0 ms in order.
    static constexpr bool overlap_texel_groups = true;
};

}  // namespace

#include "raster/span_driver.inl"

}  // namespace avx2
#endif
