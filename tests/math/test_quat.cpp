// Tests of quat_t: default, conjugate, Hamilton products, length and in-place normalisation.
#include <gtest/gtest.h>

#include <cmath>

#include "math/quat.h"
#include "vector_expectations.h"

TEST(QuatProduct, HamiltonRules) {
    expect_quat(quat_t(), 0, 0, 0, 0);

    const quat_t i(1, 0, 0, 0), j(0, 1, 0, 0), k(0, 0, 1, 0), one(0, 0, 0, 1);
    expect_quat(multiply(i, j), 0, 0, 1, 0);
    expect_quat(multiply(j, i), 0, 0, -1, 0);
    expect_quat(multiply(j, k), 1, 0, 0, 0);
    expect_quat(multiply(k, i), 0, 1, 0, 0);
    expect_quat(i * i, 0, 0, 0, -1);

    const quat_t q(1, 2, 3, 4);
    expect_quat(multiply(one, q), 1, 2, 3, 4);
    expect_quat(multiply(q, one), 1, 2, 3, 4);
    // (1, 2, 3, 4) (x) (5, 6, 7, 8) worked out by hand from i j = k, j k = i, k i = j.
    expect_quat(multiply(q, quat_t(5, 6, 7, 8)), 24, 48, 48, -6);

    expect_quat(conjugate(q), -1, -2, -3, 4);
    expect_quat(multiply(q, conjugate(q)), 0, 0, 0, 30);
}

TEST(QuatProduct, WithVectorIsProductWithZeroScalarPart) {
    const quat_t q(1, 2, 3, 4);
    const vec3_t v(5, 6, 7);
    const quat_t full = multiply(q, quat_t(5, 6, 7, 0));
    expect_quat(multiply(q, v), full.x, full.y, full.z, full.w);
    expect_quat(q * v, 16, 32, 24, -38);
    expect_quat(multiply(quat_t(0, 0, 0, 1), v), 5, 6, 7, 0);
}

TEST(QuatNormalise, InPlaceAndReturnedZeroLeftAlone) {
    EXPECT_EQ(length(quat_t(1, 2, 2, 4)), 5);

    quat_t zero;
    expect_quat(zero.normalise(), 0, 0, 0, 0);
    expect_quat(zero, 0, 0, 0, 0);

    quat_t scalar(0, 0, 0, 2);
    const quat_t returned = scalar.normalise();
    expect_quat(returned, 0, 0, 0, 1);
    expect_quat(scalar, 0, 0, 0, 1);

    quat_t q(1, 2, 2, 4);
    expect_quat(q.normalise(), 0.2f, 0.4f, 0.4f, 0.8f);

    // No small-length threshold as for vectors: only an exactly zero length is skipped.
    quat_t small(0.0000001f, 0, 0, 0);
    expect_quat(small.normalise(), 1, 0, 0, 0);
    // Squares that underflow to zero give a zero length, which leaves the value as it is.
    quat_t tiny(1.0e-30f, 0, 0, 0);
    expect_quat(tiny.normalise(), 1.0e-30f, 0, 0, 0);

    quat_t not_a_number(std::nanf(""), 1, 0, 0);
    not_a_number.normalise();
    EXPECT_TRUE(std::isnan(not_a_number.x));
    EXPECT_EQ(not_a_number.y, 1);
}
