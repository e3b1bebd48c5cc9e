// The mesh front end's vertex mapping, four vertices at a time, against the pipeline's one vertex at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "raster/mesh_front_end.h"

namespace {

// Components that take every branch of the mapping: zeros of both signs, the normals' length
// limit and around it, subnormals, huge values, infinities and NaN.
float special(std::mt19937& rng) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    const float values[] = {0.0f,     -0.0f,     1.0f,    -1.0f,    0.5f, 1.0e-6f, 9.9e-7f,       1.1e-6f, 5.0e-7f,
                            1.0e-40f, -1.0e-40f, 3.0e38f, -3.0e38f, inf,  -inf,    std::nanf(""), 1.0e-20f};
    std::uniform_int_distribution<size_t> pick(0, std::size(values) - 1);
    std::uniform_real_distribution<float> any(-2.0f, 2.0f);
    return std::uniform_int_distribution<int>(0, 3)(rng) == 0 ? values[pick(rng)] : any(rng);
}

// Every component with the same bits, but that a NaN may carry another NaN's sign and payload:
// which operand's NaN an addition of two NaNs passes on is the compiler's choice of operand
// order, in the one-at-a-time code too.
bool same_bits(const vertex_t& a, const vertex_t& b) {
    const auto same = [](float x, float y) {
        return (std::isnan(x) && std::isnan(y)) || std::memcmp(&x, &y, sizeof(float)) == 0;
    };
    const auto same4 = [&](const vec4_t& x, const vec4_t& y) {
        return same(x.x, y.x) && same(x.y, y.y) && same(x.z, y.z) && same(x.w, y.w);
    };
    return same4(a.position, b.position) && same4(a.colour, b.colour) && same4(a.normal, b.normal) &&
           same4(a.texcoord, b.texcoord);
}

TEST(MeshFrontEnd, VerticesMappedFourAtATimeHaveTheBitsOfOneAtATime) {
    std::mt19937 rng(8);
    std::vector<vertex_t> vertices;
    for (int i = 0; i < 4003; ++i) {
        vertex_t v;
        v.position = {special(rng), special(rng), special(rng), special(rng)};
        v.colour = {special(rng), special(rng), special(rng), special(rng)};
        v.normal = {special(rng), special(rng), special(rng), special(rng)};
        v.texcoord = {special(rng), special(rng), special(rng), special(rng)};
        vertices.push_back(v);
    }
    // Small normals whose length lies just either side of the limit, in every lane.
    for (int i = 0; i < 64; ++i) {
        const float c = 5.0e-7f + 1.0e-9f * static_cast<float>(i);
        vertices[static_cast<size_t>(i)].normal = {c, c, c, c};
    }
    mat4_t perspective = mat4_t().perspective(1.5707964f, 4.0f / 3.0f, 0.1f, 100.0f);
    mat4_t odd = mat4_t().identity();
    odd.m[3] = std::numeric_limits<float>::infinity();
    odd.m[6] = -0.0f;
    odd.m[13] = std::nanf("");
    const mat4_t viewport = mat4_t().viewport(400.0f, 300.0f);
    const indexed_mesh_t mesh{vertices.data(), static_cast<int32_t>(vertices.size()), nullptr, 0};
    for (const mat4_t& matrix : {mat4_t().identity(), perspective, odd}) {
        for (const bool clipped : {false, true}) {
            std::vector<vertex_t> mapped(vertices.size());
            const mesh_front_end_t front(mesh, matrix, viewport, clipped, false, mapped.data());
            // Shares that start and end off the fours, as the threads take them.
            front.map_vertices(0, 1);
            front.map_vertices(1, 2002);
            front.map_vertices(2002, mesh.vertex_count);
            for (size_t v = 0; v < vertices.size(); ++v) {
                const vertex_t clip = transform(vertices[v], matrix);
                const vertex_t expected = clipped ? clip : to_screen_vertex(clip, viewport);
                ASSERT_TRUE(same_bits(mapped[v], expected))
                    << "vertex " << v << (clipped ? ", clip space" : ", screen space");
            }
        }
    }
}

}  // namespace
