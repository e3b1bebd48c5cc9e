// Sample vertices and readers shared by the collection tests.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "collections/vertex_lists.h"

namespace samples {

// Distinct positions, told apart by x; colours differ so copies can be checked member by member.
inline const vertex_t a{vec4_t(1, 10, 100, 1), vec4_t(0.1f, 0.2f, 0.3f, 0.4f)};
inline const vertex_t b{vec4_t(2, 20, 200, 1), vec4_t(0.5f, 0.6f, 0.7f, 0.8f)};
inline const vertex_t c{vec4_t(3, 30, 300, 1)};
inline const vertex_t d{vec4_t(4, 40, 400, 1)};
inline const vertex_t x{vec4_t(9, 90, 900, 1)};

// The x of every element, in order.
inline std::vector<float> xs(const ktCollection<vertex_t>& list) {
    std::vector<float> out;
    for (ktIterator<vertex_t> it = list.iterator(); it.hasNext();) out.push_back(it.next().position.x);
    return out;
}

inline ktList<vertex_t> list_of(std::initializer_list<vertex_t> elements) {
    ktList<vertex_t> list;
    for (const vertex_t& e : elements) list.add(e);
    return list;
}

// Every member of every component, not just the position the vertex equality looks at.
inline void expect_same_vertex(const vertex_t& got, const vertex_t& want) {
    const vec4_t* g[] = {&got.position, &got.colour, &got.normal, &got.texcoord};
    const vec4_t* w[] = {&want.position, &want.colour, &want.normal, &want.texcoord};
    for (int m = 0; m < 4; ++m) {
        EXPECT_EQ(g[m]->x, w[m]->x) << "member " << m;
        EXPECT_EQ(g[m]->y, w[m]->y) << "member " << m;
        EXPECT_EQ(g[m]->z, w[m]->z) << "member " << m;
        EXPECT_EQ(g[m]->w, w[m]->w) << "member " << m;
    }
}

inline void expect_default(const vertex_t& got) { expect_same_vertex(got, vertex_t{}); }

}  // namespace samples
