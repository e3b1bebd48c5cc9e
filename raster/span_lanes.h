// The vertex-colour pixel kernel written once over lane operations: depth test, depth select and blend of a register of
// pixels.
#pragma once

// Lanes is a set of static operations on one register of Lanes::width pixels (see
// span_fill_sse2.cpp and span_fill_avx2.cpp): floats in Lanes::f, 32-bit integers in Lanes::i.
//
// Why the lane operations give the scalar bits:
// - The test !(z >= depth) && !(alpha >= 1) is the "not greater or equal" compare, which is
//   true for unordered (NaN) operands just as the negated C++ comparison is.
// - The float-to-integer conversion rounds with the current mode (to nearest, ties to even,
//   as nearbyint does) and turns NaN and out-of-range values into 0x80000000, whose low byte
//   is 0: exactly what low_byte_of_nearest gives. Products by 255 and by the shade are single
//   multiplies, as in the scalar code.
// - The blend products are of bytes (at most 255 * 255, and the two products of one channel
//   sum to at most 255 * 255), so 16-bit multiplies of 32-bit lanes whose upper halves are
//   zero give the exact 32-bit products.
// - The depth and pixel selects take whole lanes bit for bit, so untouched pixels and depths
//   keep their bits.
//
// r, g, b, a, z and s are the pixels' colour channels, depth and shade; d and f the old depths
// and pixels (blue, green, red, alpha bytes), replaced by the new ones. Returns the lane mask
// of the pixels drawn.
template <class Lanes>
inline int blend_vertex_colour_lanes(typename Lanes::f r, typename Lanes::f g, typename Lanes::f b, typename Lanes::f a,
                                     typename Lanes::f z, typename Lanes::f s, typename Lanes::f& d,
                                     typename Lanes::i& f) {
    using L = Lanes;
    const typename L::f pass = L::and_f(L::not_ge(z, d), L::not_ge(a, L::splat(1.0f)));
    const int mask = L::mask_bits(pass);
    if (mask == 0) return 0;
    d = L::select_f(pass, z, d);
    const typename L::f k255 = L::splat(255.0f);
    const typename L::i ff = L::splat_i(0xFF);
    const auto byte_of = [&](typename L::f c) { return L::and_i(L::to_int(L::mul(c, k255)), ff); };
    const typename L::i ai = byte_of(a);
    const typename L::i keep = L::sub_i(ff, ai);
    // (c * a + old * (255 - a)) >> 8, then the low byte of nearest(that * shade).
    const auto mix = [&](typename L::i c, typename L::i old) {
        return L::template srl<8>(L::add_i(L::mul16(c, ai), L::mul16(old, keep)));
    };
    const auto shaded = [&](typename L::i c) { return L::and_i(L::to_int(L::mul(L::to_float(c), s)), ff); };
    const typename L::i na = mix(ai, L::template srl<24>(f));
    const typename L::i nr = shaded(mix(byte_of(r), L::and_i(L::template srl<16>(f), ff)));
    const typename L::i ng = shaded(mix(byte_of(g), L::and_i(L::template srl<8>(f), ff)));
    const typename L::i nb = shaded(mix(byte_of(b), L::and_i(f, ff)));
    const typename L::i out =
        L::or_i(L::or_i(nb, L::template sll<8>(ng)), L::or_i(L::template sll<16>(nr), L::template sll<24>(na)));
    f = L::select_i(pass, out, f);
    return mask;
}

// Texel over vertex colour over the old pixel, as blend_texel does it, for every lane: r, g, b,
// a and s the vertex colour and shade, texel and old the texel's and the pixel's four bytes.
// The fractions b / 255 are the same division as the scalar table's entries, so their bits
// are the table's; every other operation is the scalar one, in the same order.
template <class Lanes>
inline typename Lanes::i blend_texel_lanes(typename Lanes::f r, typename Lanes::f g, typename Lanes::f b,
                                           typename Lanes::f a, typename Lanes::f s, typename Lanes::i texel,
                                           typename Lanes::i old) {
    using L = Lanes;
    using f = typename L::f;
    using i = typename L::i;
    const f k255 = L::splat(255.0f);
    const i ff = L::splat_i(0xFF);
    const auto fraction = [&](i bytes) { return L::div(L::to_float(bytes), k255); };
    const auto over = [](f top, f bottom, f opacity) { return L::add(L::mul(L::sub(top, bottom), opacity), bottom); };
    const f r1 = over(r, fraction(L::and_i(L::template srl<16>(old), ff)), a);
    const f g1 = over(g, fraction(L::and_i(L::template srl<8>(old), ff)), a);
    const f b1 = over(b, fraction(L::and_i(old, ff)), a);
    const f k = L::sub(L::splat(1.0f), fraction(L::template srl<24>(texel)));
    const f r2 = over(fraction(L::and_i(L::template srl<16>(texel), ff)), r1, k);
    const f g2 = over(fraction(L::and_i(L::template srl<8>(texel), ff)), g1, k);
    const f b2 = over(fraction(L::and_i(texel, ff)), b1, k);
    const auto byte_of = [&](f v) { return L::and_i(L::to_int(v), ff); };
    const i na = byte_of(L::mul(k255, k));
    const i nr = byte_of(L::mul(L::mul(s, r2), k255));
    const i ng = byte_of(L::mul(L::mul(s, g2), k255));
    const i nb = byte_of(L::mul(L::mul(s, b2), k255));
    return L::or_i(L::or_i(nb, L::template sll<8>(ng)), L::or_i(L::template sll<16>(nr), L::template sll<24>(na)));
}

// Lanes::width textured pixels of a chunk from pixel `at` (whose values are all in the chunk),
// pixels and depth pointing at the first one, the lanes outside `valid` left alone: the depth
// test, then for the pixels that pass the depth write, w = 1 / (1/w), u and v, the texel
// coordinates, their reduction into the texture, the texel fetch and the blend. Needs
// sampler.lanes. Returns the lane mask of the pixels drawn.
//
// The coordinates: below 2^31 in magnitude the rounding conversion gives nearest() as a
// 32-bit two's complement number, the low 32 bits of the 64-bit integer; lanes beyond that,
// infinite or NaN take wrapped_texel_coordinate. A power-of-two size reduces by its mask (the
// same bits as the remainder); any other size by the remainder itself, lane by lane.
template <class Lanes>
inline int blend_texel_group(uint8_t* pixels, float* depth, const texture_chunk_t& v, int32_t at,
                             typename Lanes::f valid, const texel_sampler_t& sampler) {
    using L = Lanes;
    using f = typename L::f;
    using i = typename L::i;
    constexpr int n = L::width;
    const f z = L::load(v.c.z + at);
    const f a = L::load(v.c.a + at);
    const f d = L::loadu(depth);
    const f pass = L::and_f(valid, L::and_f(L::not_ge(z, d), L::not_ge(a, L::splat(1.0f))));
    const int mask = L::mask_bits(pass);
    if (mask == 0) return 0;
    L::storeu(depth, L::select_f(pass, z, d));

    const f w = L::div(L::splat(1.0f), L::load(v.one_over_w + at));
    const f su = L::add(L::mul(L::mul(w, L::load(v.u_over_w + at)), L::splat(sampler.scale_u)), L::splat(0.5f));
    const f sv = L::add(L::mul(L::mul(w, L::load(v.v_over_w + at)), L::splat(sampler.scale_v)), L::splat(0.5f));
    i tx = L::to_int(su);
    i ty = L::to_int(sv);
    const f limit = L::splat(2147483648.0f);
    const int ordinary = L::mask_bits(L::and_f(L::lt(L::abs(su), limit), L::lt(L::abs(sv), limit)));
    if (ordinary != (1 << n) - 1 || !sampler.pow2) {
        alignas(32) uint32_t cx[n];
        alignas(32) uint32_t cy[n];
        alignas(32) float fu[n];
        alignas(32) float fv[n];
        L::store_i(cx, tx);
        L::store_i(cy, ty);
        L::store(fu, su);
        L::store(fv, sv);
        for (int k = 0; k < n; ++k) {
            if (((ordinary >> k) & 1) == 0) {
                cx[k] = texel_coordinate_of(fu[k]);
                cy[k] = texel_coordinate_of(fv[k]);
            }
            if (!sampler.pow2) {
                cx[k] %= sampler.width;
                cy[k] %= sampler.height;
            }
        }
        tx = L::load_i(cx);
        ty = L::load_i(cy);
    }
    if (sampler.pow2) {
        tx = L::and_i(tx, L::splat_i(static_cast<int>(sampler.width - 1)));
        ty = L::and_i(ty, L::splat_i(static_cast<int>(sampler.height - 1)));
    }
    const i texel = L::fetch(sampler.pixels, sampler.width, tx, ty);
    const i old = L::loadu_i(pixels);
    const i out = blend_texel_lanes<L>(L::load(v.c.r + at), L::load(v.c.g + at), L::load(v.c.b + at), a,
                                       L::load(v.c.s + at), texel, old);
    L::storeu_i(pixels, L::select_i(pass, out, old));
    return mask;
}

// Textured pixels 0 .. n of a chunk, whose values run on to the next multiple of the register
// width: whole registers in place, the last few pixels through a copy of their depths and
// pixels (so nothing beyond the row is read or written).
template <class Lanes>
inline uint32_t blend_texels_lanes(uint8_t* pixels, float* depth, const texture_chunk_t& v, int32_t n,
                                   const texel_sampler_t& sampler) {
    using L = Lanes;
    if (!sampler.lanes) return blend_texels_portable(pixels, depth, v, 0, n, sampler);
    uint32_t drawn = 0;
    int32_t at = 0;
    const typename L::f all = L::lanes_below(L::width);
    for (; at + L::width <= n; at += L::width) {
        const int mask = blend_texel_group<L>(pixels + static_cast<size_t>(at) * 4, depth + at, v, at, all, sampler);
        drawn += static_cast<uint32_t>(__builtin_popcount(static_cast<unsigned>(mask)));
    }
    const int32_t rest = n - at;
    if (rest > 0) {
        alignas(32) float depths[L::width] = {};
        alignas(32) uint8_t colours[L::width * 4] = {};
        const size_t bytes = static_cast<size_t>(rest) * 4;
        __builtin_memcpy(depths, depth + at, bytes);
        __builtin_memcpy(colours, pixels + static_cast<size_t>(at) * 4, bytes);
        const int mask = blend_texel_group<L>(colours, depths, v, at, L::lanes_below(rest), sampler);
        __builtin_memcpy(depth + at, depths, bytes);
        __builtin_memcpy(pixels + static_cast<size_t>(at) * 4, colours, bytes);
        drawn += static_cast<uint32_t>(__builtin_popcount(static_cast<unsigned>(mask)));
    }
    return drawn;
}
