// The indexed mesh: filling, refusals, and what render hands to the pipeline.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "mesh/mesh.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"

namespace {

// Three clip-space corners that land clockwise on a 64 x 64 screen.
void add_clockwise_corners(mesh_t& mesh) {
    const vec4_t colour(1, 0, 0, 0.5f), normal(0, 0, 1, 0);
    mesh.add_vertex(vertex_t(vec4_t(-0.5f, 0.5f, 0.5f, 1), colour, normal));
    mesh.add_vertex(vertex_t(vec4_t(0.5f, 0.5f, 0.5f, 1), colour, normal));
    mesh.add_vertex(vertex_t(vec4_t(0.0f, -0.5f, 0.5f, 1), colour, normal));
}

struct target_t {
    screen_t screen{64, 64, 90.0f, screen_t::offscreen_tag{}};
    texture_t texture{1, 1, 32};
    mat4_t identity = mat4_t().identity();
    target_t() { screen.clear_zbuffer(); }
};

}  // namespace

TEST(Mesh, EveryTriangleSlotIsDrawnFilledOrNot) {
    mesh_t mesh(3, 4);
    add_clockwise_corners(mesh);
    EXPECT_TRUE(mesh.add_triangle(triangle_t(0, 1, 2)));
    EXPECT_TRUE(mesh.add_triangle(0, 1, 2));
    target_t t;
    mesh.render(t.screen, t.identity, t.texture);
    // Two filled slots plus two default (0, 0, 0) slots: three copies of vertex 0.
    EXPECT_EQ(t.screen.triangle_count, 4u);
    EXPECT_GT(t.screen.pixel_count, 0u);
    EXPECT_EQ(mesh.triangle_count, 2);
    EXPECT_EQ(mesh.vertex_count, 3);
}

TEST(Mesh, EachAddFillsTheNextSlotWithItsIndicesInOrder) {
    mesh_t mesh(8, 3);
    EXPECT_TRUE(mesh.add_triangle(4, 6, 7));
    EXPECT_TRUE(mesh.add_triangle(triangle_t(2, 0, 5)));
    EXPECT_EQ(mesh.triangle_count, 2);
    const auto indices = [&](int slot) {
        const triangle_t& t = mesh.triangles[static_cast<size_t>(slot)];
        return std::tuple(t.a, t.b, t.c);
    };
    EXPECT_EQ(indices(0), std::tuple(4, 6, 7));
    EXPECT_EQ(indices(1), std::tuple(2, 0, 5));
    EXPECT_EQ(indices(2), std::tuple(0, 0, 0));  // not yet filled
}

TEST(Mesh, CornersReachThePipelineInTheTriplesOrder) {
    // With culling on, a clockwise triple is drawn and its reverse dropped: the pipeline must
    // see a, b, c in that order.
    mesh_t forward(3, 1), backward(3, 1);
    add_clockwise_corners(forward);
    add_clockwise_corners(backward);
    forward.add_triangle(0, 1, 2);
    backward.add_triangle(2, 1, 0);
    target_t t;
    t.screen.cull_backfaces = 1;
    forward.render(t.screen, t.identity, t.texture);
    EXPECT_EQ(t.screen.triangle_count, 1u);
    backward.render(t.screen, t.identity, t.texture);
    EXPECT_EQ(t.screen.triangle_count, 1u);
}

TEST(Mesh, UnsafeInputIsRefused) {
    mesh_t mesh(3, 2);
    add_clockwise_corners(mesh);
    EXPECT_FALSE(mesh.add_vertex(vertex_t()));  // full
    EXPECT_EQ(mesh.vertex_count, 3);
    EXPECT_TRUE(mesh.add_triangle(0, 1, 3));   // index past the vertex array
    EXPECT_TRUE(mesh.add_triangle(-1, 1, 2));  // negative index
    EXPECT_FALSE(mesh.add_triangle(0, 1, 2));  // full
    EXPECT_EQ(mesh.triangle_count, 2);
    target_t t;
    mesh.render(t.screen, t.identity, t.texture);
    EXPECT_EQ(t.screen.triangle_count, 0u);  // both slots skipped, nothing read out of bounds

    mesh_t empty(0, 0);
    EXPECT_FALSE(empty.add_vertex(vertex_t()));
    EXPECT_FALSE(empty.add_triangle(0, 0, 0));
    empty.render(t.screen, t.identity, t.texture);
    EXPECT_EQ(t.screen.triangle_count, 0u);
}

TEST(Mesh, ClipFlagSendsTrianglesThroughTheClipper) {
    // Wholly inside the view volume both routes give the same picture and counters.
    mesh_t inside(3, 1);
    add_clockwise_corners(inside);
    inside.add_triangle(0, 1, 2);
    target_t direct, clipped;
    clipped.screen.clip_triangles = 1;
    inside.render(direct.screen, direct.identity, direct.texture);
    inside.render(clipped.screen, clipped.identity, clipped.texture);
    EXPECT_EQ(clipped.screen.triangle_count, direct.screen.triangle_count);
    EXPECT_EQ(clipped.screen.pixel_count, direct.screen.pixel_count);
    EXPECT_EQ(0, std::memcmp(clipped.screen.framebuffer, direct.screen.framebuffer, 64 * 64 * 4));

    // A corner beyond the right plane (x > w): the clipper cuts the triangle into a
    // quadrilateral, drawn as two triangles, where the direct route draws one.
    const vec4_t colour(0, 1, 0, 0.5f), normal(0, 0, 1, 0);
    mesh_t crossing(3, 1);
    crossing.add_vertex(vertex_t(vec4_t(-0.5f, 0.5f, 0.5f, 1), colour, normal));
    crossing.add_vertex(vertex_t(vec4_t(3.0f, 0.5f, 0.5f, 1), colour, normal));
    crossing.add_vertex(vertex_t(vec4_t(0.0f, -0.5f, 0.5f, 1), colour, normal));
    crossing.add_triangle(0, 1, 2);
    target_t cut;
    cut.screen.clip_triangles = 1;
    crossing.render(cut.screen, cut.identity, cut.texture);
    EXPECT_EQ(cut.screen.triangle_count, 2u);
}
