// The pixel kernels written once over lane operations: depth test, depth select and the vertex-colour or textured blend
// of a register of pixels.
#pragma once

#include <cstdint>
#include <utility>

#include "raster/span_fill_paths.h"

// Lanes is a set of static operations on one register of Lanes::width pixels (see
// span_fill_sse2.cpp, span_fill_avx2.cpp and span_fill_avx512.cpp): floats in Lanes::f, 32-bit
// integers in Lanes::i and lane masks in Lanes::m (a register of all-ones lanes, or a mask
// register where the instruction set has them).
//
// Why the lane operations give the scalar bits:
// - The test !(z >= depth) && !(alpha >= 1) is the "not greater or equal" compare, which is
//   true for unordered (NaN) operands just as the negated C++ comparison is.
// - The float-to-integer conversion rounds with the current mode (to nearest, ties to even,
//   as nearbyint does) and turns NaN and out-of-range values into 0x80000000, whose low byte
//   is 0: exactly what low_byte_of_nearest gives. Products by 255 and by the shade are single
//   multiplies, as in the scalar code.
// - The blend products are of bytes (at most 255 * 255, and the two products of one channel
//   sum to at most 255 * 255): with a channel's new and old bytes as the two 16-bit halves of
//   a lane, and a and 255 - a likewise, one multiply-add of signed 16-bit pairs gives the
//   exact sum, since every factor is below 2^15.
// - The depth and pixel selects take whole lanes bit for bit, so untouched pixels and depths
//   keep their bits.
//
// r, g, b, a, z and s are the pixels' colour channels, depth and shade; d and f the old depths
// and pixels (blue, green, red, alpha bytes), replaced by the new ones in the lanes drawn; the
// lanes outside `valid` are never drawn. Returns the lane mask of the pixels drawn.
template <class Lanes>
inline int blend_vertex_colour_lanes(typename Lanes::m valid, typename Lanes::f r, typename Lanes::f g,
                                     typename Lanes::f b, typename Lanes::f a, typename Lanes::f z, typename Lanes::f s,
                                     typename Lanes::f& d, typename Lanes::i& f) {
    using L = Lanes;
    const typename L::m pass = L::and_m(valid, L::and_m(L::not_ge(z, d), L::not_ge(a, L::splat(1.0f))));
    const int mask = L::mask_bits(pass);
    if (mask == 0) return 0;
    d = L::select_f(pass, z, d);
    const typename L::f k255 = L::splat(255.0f);
    const typename L::i ff = L::splat_i(0xFF);
    const auto byte_of = [&](typename L::f c) { return L::and_i(L::to_int(L::mul(c, k255)), ff); };
    const typename L::i ai = byte_of(a);
    const typename L::i weights = L::or_i(ai, L::template sll<16>(L::sub_i(ff, ai)));
    // (c * a + old * (255 - a)) >> 8, old being the pixel's byte k, then the low byte of
    // nearest(that * shade).
    const auto mix = [&](typename L::i c, typename L::i old_high) {
        return L::template srl<8>(L::madd16(L::or_i(c, old_high), weights));
    };
    const auto shaded = [&](typename L::i c) { return L::and_i(L::to_int(L::mul(L::to_float(c), s)), ff); };
    const typename L::i na = mix(ai, L::template byte_high<3>(f));
    const typename L::i nr = shaded(mix(byte_of(r), L::template byte_high<2>(f)));
    const typename L::i ng = shaded(mix(byte_of(g), L::template byte_high<1>(f)));
    const typename L::i nb = shaded(mix(byte_of(b), L::template byte_high<0>(f)));
    const typename L::i out =
        L::or_i(L::or_i(nb, L::template sll<8>(ng)), L::or_i(L::template sll<16>(nr), L::template sll<24>(na)));
    f = L::select_i(pass, out, f);
    return mask;
}

// Lane operations built from a byte shuffle and a fused multiply-add, for the lanes that have
// both (AVX2 and AVX-512): Lanes derives from shuffled_byte_lanes<Lanes> and supplies
// move_byte<from, to> (byte `from` of each lane moved to byte `to`, every other byte cleared),
// fmadd, mul, to_float, splat, or_i and sll.
template <class Lanes>
struct shuffled_byte_lanes {
    // Byte k of each lane, 0..255.
    template <int k>
    static auto byte(auto a) {
        return Lanes::template move_byte<k, 0>(a);
    }
    // Byte k of each lane moved to bits 16..23, every other bit cleared.
    template <int k>
    static auto byte_high(auto a) {
        return Lanes::template move_byte<k, 2>(a);
    }
    // b / 255 for bytes b, with the bits of the division (see byte_fraction_high): b * high is
    // exact, so the fused multiply-add rounds the same sum once, as the separate add does.
    static auto fraction(auto bytes) {
        const auto b = Lanes::to_float(bytes);
        return Lanes::fmadd(b, Lanes::splat(byte_fraction_high), Lanes::mul(b, Lanes::splat(byte_fraction_low)));
    }
    // The low bytes of four sets of lanes as blue, green, red, alpha bytes of one pixel per lane.
    static auto pack_low_bytes(auto b, auto g, auto r, auto a) {
        return Lanes::or_i(Lanes::or_i(Lanes::template move_byte<0, 0>(b), Lanes::template move_byte<0, 1>(g)),
                           Lanes::or_i(Lanes::template move_byte<0, 2>(r), Lanes::template sll<24>(a)));
    }
};

// Texel over vertex colour over the old pixel, as blend_texel does it, for every lane: r, g, b,
// a and s the vertex colour and shade, texel and old the texel's and the pixel's four bytes.
// Lanes::fraction gives the bits of the scalar table's entries b / 255 (see byte_fraction_high);
// every other operation is the scalar one, in the same order, and the bytes stored are the low
// 8 bits of the rounded conversions.
template <class Lanes>
inline typename Lanes::i blend_texel_lanes(typename Lanes::f r, typename Lanes::f g, typename Lanes::f b,
                                           typename Lanes::f a, typename Lanes::f s, typename Lanes::i texel,
                                           typename Lanes::i old) {
    using L = Lanes;
    using f = typename L::f;
    const f k255 = L::splat(255.0f);
    const auto over = [](f top, f bottom, f opacity) { return L::add(L::mul(L::sub(top, bottom), opacity), bottom); };
    const f r1 = over(r, L::fraction(L::template byte<2>(old)), a);
    const f g1 = over(g, L::fraction(L::template byte<1>(old)), a);
    const f b1 = over(b, L::fraction(L::template byte<0>(old)), a);
    const f k = L::sub(L::splat(1.0f), L::fraction(L::template byte<3>(texel)));
    const f r2 = over(L::fraction(L::template byte<2>(texel)), r1, k);
    const f g2 = over(L::fraction(L::template byte<1>(texel)), g1, k);
    const f b2 = over(L::fraction(L::template byte<0>(texel)), b1, k);
    return L::pack_low_bytes(L::to_int(L::mul(L::mul(s, b2), k255)), L::to_int(L::mul(L::mul(s, g2), k255)),
                             L::to_int(L::mul(L::mul(s, r2), k255)), L::to_int(L::mul(k255, k)));
}

// Two registers of Lanes as one of twice the width: every operation is taken on both halves
// (the low half first in memory), so a kernel written once works on twice as many pixels at
// a time. The two halves' work is independent, which lets the processor overlap what would
// otherwise be one register's long chain of dependent operations. Holds the operations the
// textured kernel uses.
template <class Lanes>
struct lane_pair {
    using L = Lanes;
    struct f {
        typename L::f lo, hi;
    };
    struct i {
        typename L::i lo, hi;
    };
    struct m {
        typename L::m lo, hi;
    };
    static constexpr int width = 2 * L::width;
    static f load(const float* p) { return {L::load(p), L::load(p + L::width)}; }
    static f loadu(const float* p) { return {L::loadu(p), L::loadu(p + L::width)}; }
    static void store(float* p, f v) { L::store(p, v.lo), L::store(p + L::width, v.hi); }
    static void storeu(float* p, f v) { L::storeu(p, v.lo), L::storeu(p + L::width, v.hi); }
    static i load_i(const uint32_t* p) { return {L::load_i(p), L::load_i(p + L::width)}; }
    static void store_i(uint32_t* p, i v) { L::store_i(p, v.lo), L::store_i(p + L::width, v.hi); }
    static i loadu_i(const uint8_t* p) { return {L::loadu_i(p), L::loadu_i(p + 4 * L::width)}; }
    static void storeu_i(uint8_t* p, i v) { L::storeu_i(p, v.lo), L::storeu_i(p + 4 * L::width, v.hi); }
    // The lanes of k (a run from lane 0) only; a half without any is not touched, so no
    // address past the run's end is formed.
    static f loadu_part(const float* p, m k) {
        return {L::loadu_part(p, k.lo), L::mask_bits(k.hi) != 0 ? L::loadu_part(p + L::width, k.hi) : L::splat(0.0f)};
    }
    static void storeu_part(float* p, m k, f v) {
        L::storeu_part(p, k.lo, v.lo);
        if (L::mask_bits(k.hi) != 0) L::storeu_part(p + L::width, k.hi, v.hi);
    }
    static i loadu_part_i(const uint8_t* p, m k) {
        return {L::loadu_part_i(p, k.lo),
                L::mask_bits(k.hi) != 0 ? L::loadu_part_i(p + 4 * L::width, k.hi) : L::splat_i(0)};
    }
    static void storeu_part_i(uint8_t* p, m k, i v) {
        L::storeu_part_i(p, k.lo, v.lo);
        if (L::mask_bits(k.hi) != 0) L::storeu_part_i(p + 4 * L::width, k.hi, v.hi);
    }
    static f splat(float v) { return {L::splat(v), L::splat(v)}; }
    static i splat_i(int v) { return {L::splat_i(v), L::splat_i(v)}; }
    static m lanes_below(int count) { return {L::lanes_below(count), L::lanes_below(count - L::width)}; }
    static int mask_bits(m k) { return L::mask_bits(k.lo) | (L::mask_bits(k.hi) << L::width); }
    static f add(f a, f b) { return {L::add(a.lo, b.lo), L::add(a.hi, b.hi)}; }
    static f sub(f a, f b) { return {L::sub(a.lo, b.lo), L::sub(a.hi, b.hi)}; }
    static f mul(f a, f b) { return {L::mul(a.lo, b.lo), L::mul(a.hi, b.hi)}; }
    static f div(f a, f b) { return {L::div(a.lo, b.lo), L::div(a.hi, b.hi)}; }
    static m not_ge(f a, f b) { return {L::not_ge(a.lo, b.lo), L::not_ge(a.hi, b.hi)}; }
    static m and_m(m a, m b) { return {L::and_m(a.lo, b.lo), L::and_m(a.hi, b.hi)}; }
    static m or_m(m a, m b) { return {L::or_m(a.lo, b.lo), L::or_m(a.hi, b.hi)}; }
    static m eq_i(i a, i b) { return {L::eq_i(a.lo, b.lo), L::eq_i(a.hi, b.hi)}; }
    static f select_f(m k, f yes, f no) { return {L::select_f(k.lo, yes.lo, no.lo), L::select_f(k.hi, yes.hi, no.hi)}; }
    static i select_i(m k, i yes, i no) { return {L::select_i(k.lo, yes.lo, no.lo), L::select_i(k.hi, yes.hi, no.hi)}; }
    static i to_int(f a) { return {L::to_int(a.lo), L::to_int(a.hi)}; }
    static i and_i(i a, i b) { return {L::and_i(a.lo, b.lo), L::and_i(a.hi, b.hi)}; }
    static f fraction(i a) { return {L::fraction(a.lo), L::fraction(a.hi)}; }
    template <int k>
    static i byte(i a) {
        return {L::template byte<k>(a.lo), L::template byte<k>(a.hi)};
    }
    static i pack_low_bytes(i b, i g, i r, i a) {
        return {L::pack_low_bytes(b.lo, g.lo, r.lo, a.lo), L::pack_low_bytes(b.hi, g.hi, r.hi, a.hi)};
    }
    static i fetch(const uint8_t* texels, uint32_t row, i tx, i ty) {
        return {L::fetch(texels, row, tx.lo, ty.lo), L::fetch(texels, row, tx.hi, ty.hi)};
    }
};

// A textured group between its two halves: what the blend needs once the texels are fetched.
template <class Lanes>
struct texel_group_t {
    typename Lanes::f red, green, blue, alpha, shade;
    typename Lanes::i texel, old;
    typename Lanes::m valid, pass;
    uint8_t* pixels;
};

// Lanes::width textured pixels, pixels and depth pointing at the first one, their values
// quantity q at values[q * stride] onwards, the lanes outside `valid` left alone. The first
// half: the depth test, then for the pixels that pass the depth write, w = 1 / (1/w), u and v,
// the texel coordinates, their reduction into the texture and the texel fetch; the values the
// blend needs go into group. Needs sampler.lanes. Returns the lane mask of the pixels drawn
// (when 0, there is nothing to finish).
//
// The coordinates: below 2^31 in magnitude the rounding conversion gives nearest() as a
// 32-bit two's complement number, the low 32 bits of the 64-bit integer; lanes that convert
// to INT32_MIN (beyond that, infinite or NaN) take texel_coordinate. A power-of-two size reduces by
// its mask (the same bits as the remainder); any other size by the remainder itself, lane by lane.
//
// With only_valid (valid being a run of lanes from lane 0), nothing outside `valid` is read or
// written, so the last pixels of a row are drawn in place.
template <class Lanes, bool only_valid = false>
inline int start_texel_group(texel_group_t<Lanes>& group, uint8_t* pixels, float* depth, const float* values,
                             int32_t stride, typename Lanes::m valid, const texel_sampler_t& sampler) {
    using L = Lanes;
    using f = typename L::f;
    using i = typename L::i;
    constexpr int n = L::width;
    const auto quantity = [&](int q) { return L::load(values + q * stride); };
    const f z = quantity(interpolant::z);
    const f a = quantity(interpolant::alpha);
    f d;
    if constexpr (only_valid) {
        d = L::loadu_part(depth, valid);
    } else {
        d = L::loadu(depth);
    }
    const typename L::m pass = L::and_m(valid, L::and_m(L::not_ge(z, d), L::not_ge(a, L::splat(1.0f))));
    const int mask = L::mask_bits(pass);
    if (mask == 0) return 0;
    if constexpr (only_valid) {
        L::storeu_part(depth, valid, L::select_f(pass, z, d));
    } else {
        L::storeu(depth, L::select_f(pass, z, d));
    }

    const f w = L::div(L::splat(1.0f), quantity(interpolant::one_over_w));
    const f su = L::add(L::mul(L::mul(w, quantity(interpolant::u_over_w)), L::splat(sampler.scale_u)), L::splat(0.5f));
    const f sv = L::add(L::mul(L::mul(w, quantity(interpolant::v_over_w)), L::splat(sampler.scale_v)), L::splat(0.5f));
    i tx = L::to_int(su);
    i ty = L::to_int(sv);
    // Out of range and NaN convert to the integer indefinite, INT32_MIN; so does -2^31 itself,
    // which the general rule then gives correctly.
    const i indefinite = L::splat_i(INT32_MIN);
    const int ordinary = ~L::mask_bits(L::or_m(L::eq_i(tx, indefinite), L::eq_i(ty, indefinite))) & ((1 << n) - 1);
    if (ordinary != (1 << n) - 1 || !sampler.pow2) {
        alignas(64) uint32_t cx[n];
        alignas(64) uint32_t cy[n];
        alignas(64) float fu[n];
        alignas(64) float fv[n];
        L::store_i(cx, tx);
        L::store_i(cy, ty);
        L::store(fu, su);
        L::store(fv, sv);
        texel_coordinates_by_lane(cx, cy, fu, fv, n, ordinary, sampler);
        tx = L::load_i(cx);
        ty = L::load_i(cy);
    }
    if (sampler.pow2) {
        tx = L::and_i(tx, L::splat_i(static_cast<int>(sampler.width - 1)));
        ty = L::and_i(ty, L::splat_i(static_cast<int>(sampler.height - 1)));
    }
    const i texel = L::fetch(sampler.pixels, sampler.width, tx, ty);
    i old;
    if constexpr (only_valid) {
        old = L::loadu_part_i(pixels, valid);
    } else {
        old = L::loadu_i(pixels);
    }
    group = {quantity(interpolant::red),
             quantity(interpolant::green),
             quantity(interpolant::blue),
             a,
             quantity(interpolant::shade),
             texel,
             old,
             valid,
             pass,
             pixels};
    return mask;
}

// The second half: the blend of the group's texels and the store of the pixels drawn.
template <class Lanes, bool only_valid = false>
inline void finish_texel_group(const texel_group_t<Lanes>& group) {
    using L = Lanes;
    const typename L::i out =
        blend_texel_lanes<L>(group.red, group.green, group.blue, group.alpha, group.shade, group.texel, group.old);
    if constexpr (only_valid) {
        L::storeu_part_i(group.pixels, group.valid, L::select_i(group.pass, out, group.old));
    } else {
        L::storeu_i(group.pixels, L::select_i(group.pass, out, group.old));
    }
}
