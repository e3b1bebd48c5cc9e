// The edge walker, stepped, advanced in runs, caught up late or jumped, against edge_t stepped row by row.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>

#include "raster/edge_walker.h"
#include "raster_fixtures.h"

namespace {

// Equal bits, or both NaN.
bool same(float a, float b) { return std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b) || (a != a && b != b); }

testing::AssertionResult same_edge(const edge_t& want, const edge_walker_t& got) {
    if (!same(want.x, got.x())) return testing::AssertionFailure() << "x " << want.x << " against " << got.x();
    for (int i = 0; i < interpolant::count; ++i) {
        if (!same(want.values[i], got.values()[i])) {
            return testing::AssertionFailure()
                   << "value " << i << ": " << want.values[i] << " against " << got.values()[i];
        }
    }
    return testing::AssertionSuccess();
}

struct sorted_corners_t {
    vertex_t corner[3];  // sorted by y
};

sorted_corners_t random_triangle(std::mt19937& rng) {
    std::uniform_real_distribution<float> x(-60.0f, 60.0f), y(-40.0f, 400.0f), unit(0.0f, 1.0f);
    sorted_corners_t t;
    for (vertex_t& v : t.corner) {
        v = vertex_t(vec4_t(x(rng), y(rng), unit(rng), 0.5f + unit(rng)),
                     vec4_t(unit(rng), unit(rng), unit(rng), unit(rng)), vec4_t(0, 0, unit(rng), 0),
                     vec4_t(unit(rng) * 3, unit(rng) * 3, 0, 0));
    }
    std::sort(std::begin(t.corner), std::end(t.corner),
              [](const vertex_t& a, const vertex_t& b) { return a.y() < b.y(); });
    return t;
}

}  // namespace

TEST(EdgeWalker, EveryWayOfAdvancingHasTheBitsOfSteppingRowByRow) {
    std::mt19937 rng(31);
    const int from[3] = {0, 0, 1}, to[3] = {2, 1, 2};  // the long, upper and lower edges
    for (int trial = 0; trial < 300; ++trial) {
        const sorted_corners_t t = random_triangle(rng);
        const vertex_t* c = t.corner;
        const gradients_t g(c[0], c[1], c[2]);
        for (int e = 0; e < 3; ++e) {
            SCOPED_TRACE(testing::Message() << "triangle " << trial << ", edge " << e);
            edge_t reference(g, c[from[e]], c[to[e]], from[e]);
            triangle_set_up_t set_up;
            set_up.begin(c[0], c[1], c[2]);
            // Values from the start, row by row; values from the start, in runs of up to 40
            // rows (a band's jump over the rows above it); x alone in runs, values taken late.
            edge_walker_t by_rows, in_runs, late;
            for (edge_walker_t* w : {&by_rows, &in_runs, &late}) {
                w->begin(set_up, c[from[e]], c[to[e]], from[e]);
                w->place();
            }
            EXPECT_FALSE(set_up.made());
            by_rows.take_values<interpolant::count>();
            in_runs.take_values<interpolant::count>();
            const int rows = std::uniform_int_distribution<int>(0, 300)(rng);
            for (int r = 0; r < rows; ++r) {
                reference.step();
                by_rows.advance<interpolant::count>(1.0);
            }
            for (edge_walker_t* w : {&in_runs, &late}) {
                for (int left = rows; left > 0;) {
                    const int run = std::min(left, std::uniform_int_distribution<int>(1, 40)(rng));
                    w->advance<interpolant::count>(run);
                    left -= run;
                }
            }
            late.take_values<interpolant::count>();
            EXPECT_TRUE(same_edge(reference, by_rows));
            EXPECT_TRUE(same_edge(reference, in_runs));
            EXPECT_TRUE(same_edge(reference, late));
        }
    }
}

TEST(EdgeWalker, ExactUpToTheLimitAndJumpedBeyond) {
    const vertex_t top = corner(0.25f, -40000.0f, 0.1f), middle = corner(900.0f, 5.0f, 0.9f),
                   bottom = corner(3.0f, 20.0f, 0.4f);
    const gradients_t g(top, middle, bottom);
    triangle_set_up_t set_up;
    set_up.begin(top, middle, bottom);
    // The limit itself is stepped exactly, the set-up made only when the values are asked for.
    edge_walker_t exact;
    exact.begin(set_up, top, bottom, 0);
    exact.place();
    exact.advance<interpolant::count>(edge_walker_t::exact_step_limit);
    EXPECT_FALSE(set_up.made());
    exact.take_values<interpolant::count>();
    edge_t reference(g, top, bottom, 0);
    for (int r = 0; r < static_cast<int>(edge_walker_t::exact_step_limit); ++r) reference.step();
    EXPECT_TRUE(same_edge(reference, exact));

    // One row more is one multiplication from the start, in double, rounded once; it makes
    // the set-up on the way.
    triangle_set_up_t fresh;
    fresh.begin(top, middle, bottom);
    edge_walker_t jumped_walker;
    jumped_walker.begin(fresh, top, bottom, 0);
    jumped_walker.place();
    const double rows = edge_walker_t::exact_step_limit + 1.0;
    jumped_walker.advance<interpolant::count>(rows);
    EXPECT_TRUE(fresh.made());
    const edge_t start(g, top, bottom, 0);
    EXPECT_EQ(jumped_walker.x(), jumped(start.x, start.x_step, rows));
    for (int i = 0; i < interpolant::count; ++i) {
        EXPECT_EQ(jumped_walker.values()[i], jumped(start.values[i], start.steps[i], rows)) << "value " << i;
    }

    // An edge set up by the caller walks on from where it is.
    edge_walker_t made;
    made.begin(reference);
    made.advance<interpolant::count>(3.0);
    for (int r = 0; r < 3; ++r) reference.step();
    EXPECT_TRUE(same_edge(reference, made));
}
