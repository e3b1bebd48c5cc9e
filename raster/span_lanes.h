// The vertex-colour pixel kernel written once over lane operations: depth test, depth select and blend of a register of
// pixels.
#pragma once

// Lanes is a set of static operations on one register width (see span_fill_sse2.cpp and
// span_fill_avx2.cpp): floats in Lanes::f, 32-bit integers in Lanes::i.
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
