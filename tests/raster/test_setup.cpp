// Triangle set-up: per-vertex values, gradients, shading and edge walking.
#include <gtest/gtest.h>

#include <cmath>

#include "raster/edge.h"
#include "raster/gradients.h"
#include "raster_fixtures.h"

TEST(Gradients, PlaneOfEachQuantity) {
    // top (0, 0), middle (4, 2), bottom (0, 4): det = -16, so one_over_dx = -0.0625.
    const vertex_t top = corner(0, 0, 0.0f), mid = corner(4, 2, 1.0f), bot = corner(0, 4, 0.0f);
    const gradients_t g(top, mid, bot);
    EXPECT_EQ(g.d_z_dx, 0.25f);
    EXPECT_EQ(g.d_z_dy, 0.0f);
    EXPECT_EQ(g.get_z(1), 1.0f);
    // Colour and shade are constant across this triangle.
    EXPECT_EQ(g.d_colour_dx.x, 0.0f);
    EXPECT_EQ(g.d_colour_dy.w, 0.0f);
    EXPECT_EQ(g.d_shade_dx, 0.0f);

    // A colour ramp in x: red 0 at x = 0, 1 at x = 4 along the middle.
    const gradients_t ramp(corner(0, 0, 0, {0, 0, 0, 0}), corner(4, 2, 0, {1, 0, 0, 0}), corner(0, 4, 0, {0, 0, 0, 0}));
    EXPECT_EQ(ramp.d_colour_dx.x, 0.25f);
    EXPECT_EQ(ramp.d_colour_dy.x, 0.0f);
}

TEST(Gradients, PerspectiveValues) {
    // u = 0.5 at w = 2 gives 1/w = 0.5 and u/w = 0.25; colour is kept undivided.
    vertex_t v = corner(0, 0);
    v.position.w = 2.0f;
    v.texcoord = vec4_t(0.5f, 0.75f, 0.0f, 0.0f);
    const gradients_t g(v, corner(4, 2), corner(0, 4));
    EXPECT_EQ(g.get_one_over_w(0), 0.5f);
    EXPECT_EQ(g.get_u_over_w(0), 0.25f);
    EXPECT_EQ(g.get_v_over_w(0), 0.375f);
    EXPECT_EQ(g.get_colour(0).x, 1.0f);
}

TEST(Gradients, ShadeFromNormal) {
    EXPECT_EQ(shade_of_normal({0, 0, 1, 0}), 1.0f);
    EXPECT_EQ(shade_of_normal({0, 0, -1, 0}), 0.1f);
    EXPECT_EQ(shade_of_normal({0, 0, 0.5f, 0}), 0.55f);
    EXPECT_EQ(shade_of_normal({0, 0, 2, 0}), 1.0f);
    EXPECT_EQ(shade_of_normal({0, 0, 0, 1}), 1.0f);  // w of the normal counts
    EXPECT_EQ(shade_of_normal({5, -7, 0, 0}), 0.1f); // only z and w are lit
    EXPECT_EQ(shade_of_normal({0, 0, NAN, 0}), 0.1f);
}

TEST(Edge, WalksRowByRow) {
    const vertex_t s = corner(1, 2), e = corner(5, 10);
    const gradients_t g(s, corner(9, 6), e);
    edge_t edge(g, s, e, 0);
    EXPECT_EQ(edge.get_x(), 1.0f);
    EXPECT_EQ(edge.get_y(), 2.0f);
    EXPECT_EQ(edge.get_y_end(), 10.0f);
    EXPECT_EQ(edge.x_step, 0.5f);
    for (int i = 0; i < 3; ++i) edge.step();
    EXPECT_EQ(edge.get_x(), 2.5f);
    // The values start at the start vertex, with no prestep to the first row.
    EXPECT_EQ(edge.get_z(), g.z[0] + edge.z_step + edge.z_step + edge.z_step);

    const vertex_t a = corner(3, 1), b = corner(3, 9);
    edge_t vertical(gradients_t(a, corner(7, 5), b), a, b, 0);
    EXPECT_EQ(vertical.x_step, 0.0f);
    vertical.step();
    EXPECT_EQ(vertical.get_x(), 3.0f);
}

TEST(Edge, AbsurdAdvanceJumpsToTheRightPlace) {
    const vertex_t s = corner(0, 0), e = corner(1000, 4);
    edge_t edge(gradients_t(s, corner(-5, 1), e), s, e, 0);
    edge.advance(1.0e12);  // returns at once instead of walking 1e12 rows
    EXPECT_FLOAT_EQ(edge.x, 250.0f * 1.0e12f);
}
