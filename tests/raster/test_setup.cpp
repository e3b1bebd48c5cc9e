// From clip-space corners to the set-up records: viewport, culling, sorting, gradients, shade and edges.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "raster/edge.h"
#include "raster/gradients.h"
#include "raster/pipeline.h"
#include "raster_fixtures.h"
#include "surfaces/texture.h"

namespace {

// A clip-space corner whose red channel tells the corners apart after sorting.
vertex_t tagged(float x, float y, float red) { return corner(x, y, 0.5f, 1.0f, vec4_t(red, 0, 0, 0.5f)); }
std::vector<float> order(const screen_triangle_t& t) { return {t.top.colour.x, t.middle.colour.x, t.bottom.colour.x}; }

}  // namespace

TEST(Pipeline, ViewportSortAndMiddleSide) {
    screen_t s(800, 600, 90.0f, screen_t::offscreen_tag{});
    // (0, 0) lands on (399.5, 299.5), (-1, 1) on (-0.5, -0.5), (1, -1) on (799.5, 599.5); z is divided by w, w kept.
    const screen_triangle_t t = to_screen_triangle(s, corner(0, 0, 1, 2), corner(-2, 2, 0.5f, 2), corner(1, -1));
    const float want[3][4] = {{-0.5f, -0.5f, 0.25f, 2}, {399.5f, 299.5f, 0.5f, 2}, {799.5f, 599.5f, 0.5f, 1}};
    const vertex_t* got[3] = {&t.top, &t.middle, &t.bottom};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(testing::Message() << "sorted corner " << i);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(got[i]->component(k), want[i][k]) << "component " << k;
    }
    // Strict compare-and-exchange: screen y 10, 10, 0 come out third, first, second; given
    // bottom, top, middle they come out top, middle, bottom.
    const float y10 = (299.5f - 10.0f) / 300.0f, y0 = 299.5f / 300.0f;
    const screen_triangle_t ties = to_screen_triangle(s, tagged(0, y10, 1), tagged(0.5f, y10, 2), tagged(0.2f, y0, 3));
    EXPECT_EQ(order(ties), (std::vector<float>{3, 1, 2}));
    const screen_triangle_t u = to_screen_triangle(s, tagged(0, -0.5f, 3), tagged(0, 0.5f, 1), tagged(0.5f, 0, 2));
    EXPECT_EQ(order(u), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(u.middle_is_left, 0);  // right of the long edge
    EXPECT_EQ(to_screen_triangle(s, corner(0, -0.5f), corner(0, 0.5f), corner(-0.5f, 0)).middle_is_left, -1);
    EXPECT_EQ(to_screen_triangle(s, corner(0.5f, 0.5f), corner(0, 0.5f), corner(0.5f, -0.5f)).middle_is_left,
              -1);  // flat top
    EXPECT_EQ(to_screen_triangle(s, corner(0, 0), corner(0.25f, 0.25f), corner(0.5f, 0.5f)).middle_is_left,
              -1);  // on the edge
}

TEST(Pipeline, CullingDropsCounterClockwiseAndDegenerateUncounted) {
    const texture_t tex(1, 1, 32);
    const vertex_t a = corner(-0.5f, 0.5f), b = corner(0.5f, 0.5f), c = corner(0, -0.5f);  // clockwise (y grows down)
    for (int cull : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "cull_backfaces " << cull);
        auto s = blank_screen(8, 6);
        s->cull_backfaces = cull;
        draw_triangle(*s, a, b, c, tex);
        EXPECT_EQ(s->triangle_count, 1u);
        draw_triangle(*s, a, c, b, tex);                                                 // its mirror image
        draw_triangle(*s, corner(0, 0), corner(0.25f, 0.25f), corner(0.5f, 0.5f), tex);  // degenerate
        EXPECT_EQ(s->triangle_count, cull ? 1u : 3u);
    }
}

TEST(Gradients, ExampleValuesAndThePlaneOfEveryQuantity) {
    // det = -16; z = 0, 1, 0 gives dz/dx = 0.25, dz/dy = 0.
    const gradients_t g(corner(0, 0, 0), corner(4, 2, 1), corner(0, 4, 0));
    EXPECT_EQ(g.get_d_z_dx(), 0.25f);
    EXPECT_EQ(g.get_d_z_dy(), 0.0f);
    // u = 0.5 at w = 2: 1/w = 0.5 and u/w = 0.25; the colour is not divided.
    vertex_t v = corner(0, 0, 0, 2);
    v.texcoord = vec4_t(0.5f, 0.75f, 0, 0);
    const gradients_t p(v, corner(4, 2), corner(0, 4));
    EXPECT_EQ((std::vector<float>{p.get_one_over_w(0), p.get_u_over_w(0), p.get_v_over_w(0), p.get_colour(0).x}),
              (std::vector<float>{0.5f, 0.25f, 0.375f, 1.0f}));

    // Each gradient pair moves every quantity from the top vertex to the other two.
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> r(0.0f, 1.0f);
    for (int n = 0; n < 50; ++n) {
        SCOPED_TRACE(testing::Message() << "random triangle " << n);
        vertex_t c[3];
        for (vertex_t& k : c) {
            k = vertex_t(vec4_t(r(rng) * 40, r(rng) * 40, r(rng), 0.5f + r(rng)),
                         vec4_t(r(rng), r(rng), r(rng), r(rng)), vec4_t(0, 0, r(rng), 0), vec4_t(r(rng), r(rng), 0, 0));
        }
        if (std::fabs(doubled_signed_area(c[0], c[1], c[2])) < 100.0f) continue;
        const gradients_t q(c[0], c[1], c[2]);
        const auto plane = [&](const char* what, const float a[3], float dx, float dy) {
            for (int i = 1; i < 3; ++i) {
                const float moved = a[0] + dx * (c[i].x() - c[0].x()) + dy * (c[i].y() - c[0].y());
                EXPECT_NEAR(moved, a[i], 1e-4f) << what << " to vertex " << i;
            }
        };
        const float z[3] = {q.get_z(0), q.get_z(1), q.get_z(2)};
        const float shade[3] = {q.get_shade(0), q.get_shade(1), q.get_shade(2)};
        const float ow[3] = {q.get_one_over_w(0), q.get_one_over_w(1), q.get_one_over_w(2)};
        const float uw[3] = {q.get_u_over_w(0), q.get_u_over_w(1), q.get_u_over_w(2)};
        const float vw[3] = {q.get_v_over_w(0), q.get_v_over_w(1), q.get_v_over_w(2)};
        plane("z", z, q.get_d_z_dx(), q.get_d_z_dy());
        plane("shade", shade, q.get_d_shade_dx(), q.get_d_shade_dy());
        plane("1/w", ow, q.get_d_one_over_w_dx(), q.get_d_one_over_w_dy());
        plane("u/w", uw, q.get_d_u_over_w_dx(), q.get_d_u_over_w_dy());
        plane("v/w", vw, q.get_d_v_over_w_dx(), q.get_d_v_over_w_dy());
        const float reds[3] = {q.get_colour(0).x, q.get_colour(1).x, q.get_colour(2).x};
        const float alphas[3] = {q.get_colour(0).w, q.get_colour(1).w, q.get_colour(2).w};
        plane("red", reds, q.get_d_colour_dx().x, q.get_d_colour_dy().x);
        plane("alpha", alphas, q.get_d_colour_dx().w, q.get_d_colour_dy().w);
    }
}

TEST(Gradients, ShadeFromTheNormal) {
    const std::pair<vec4_t, float> shades[] = {{{0, 0, 1, 0}, 1.0f},  {{0, 0, -1, 0}, 0.1f}, {{0, 0, 0.5f, 0}, 0.55f},
                                               {{0, 0, 2, 0}, 1.0f},  {{0, 0, 0, 1}, 1.0f},  // w of the normal counts
                                               {{5, -7, 0, 0}, 0.1f}, {{0, 0, NAN, 0}, 0.1f}};
    for (const auto& [normal, shade] : shades) {
        EXPECT_EQ(shade_of_normal(normal), shade)
            << "normal " << normal.x << " " << normal.y << " " << normal.z << " " << normal.w;
    }
}

TEST(Edge, StartsAtItsVertexAndStepsAlongIt) {
    const vertex_t s = corner(1, 2), e = corner(5, 10);
    edge_t edge(gradients_t(s, corner(9, 6), e), s, e, 0);
    EXPECT_EQ((std::vector<float>{edge.x, edge.y, edge.y_end, edge.x_step}), (std::vector<float>{1, 2, 10, 0.5f}));
    for (int i = 0; i < 3; ++i) edge.step();
    EXPECT_EQ(edge.x, 2.5f);

    // Values start as the start vertex's own (no prestep) and step by dA/dy + dA/dx * x_step;
    // with dz/dx = 0.25 and dz/dy = 0 that is 0.5, -0.5 and 0 for x steps 2, -2 and 0.
    const vertex_t top = corner(0, 0, 0), mid = corner(4, 2, 1), bot = corner(0, 4, 0);
    const gradients_t g(top, mid, bot);
    edge_t upper(g, top, mid, 0), lower(g, mid, bot, 1), vertical(g, top, bot, 0);
    vertical.step();
    EXPECT_EQ((std::vector<float>{upper.get_z(), upper.steps[interpolant::z], lower.get_z(),
                                  lower.steps[interpolant::z], vertical.x_step, vertical.x, vertical.get_z()}),
              (std::vector<float>{0, 0.5f, 1, -0.5f, 0, 0, 0}));
}
