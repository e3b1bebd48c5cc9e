// The rows of a triangle's halves: the walk's plan for a window of rows, the rows a triangle reaches, and the bands.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include "raster/band_layout.h"
#include "raster/triangle_rows.h"

namespace {

auto plan(float y, float y_end, int64_t row_begin, int64_t row_end) {
    const half_walk_t w = walk_of_half(y, y_end, row_begin, row_end);
    return std::tuple(w.has_rows, w.passed, w.stepped, w.first, w.last);
}

}  // namespace

TEST(HalfWalk, RowsPassedSteppedAndDrawnForAWindow) {
    // Rows nearest(y) .. nearest(y_end) - 1, ties to even: 2.5 .. 3.5 gives rows 2 and 3.
    EXPECT_EQ(plan(2.5f, 4.5f, 0, 10), std::tuple(true, 0.0, int64_t{0}, int64_t{2}, int64_t{3}));
    // No row: the edges are never used.
    EXPECT_EQ(plan(3.5f, 4.5f, 0, 10), std::tuple(false, 0.0, int64_t{0}, int64_t{0}, int64_t{-1}));
    EXPECT_FALSE(std::get<0>(plan(NAN, 4.0f, 0, 10)));
    // Rows above the framebuffer are passed in one advance, those above the window stepped.
    EXPECT_EQ(plan(-7.0f, 30.0f, 20, 25), std::tuple(true, 7.0, int64_t{20}, int64_t{20}, int64_t{24}));
    // Wholly above: passed (the long edge goes on into the lower half), nothing drawn.
    EXPECT_EQ(plan(-7.0f, -2.0f, 0, 10), std::tuple(true, 5.0, int64_t{0}, int64_t{0}, int64_t{-1}));
    // Wholly above the window but in the framebuffer: every row stepped, none drawn.
    EXPECT_EQ(plan(3.0f, 8.0f, 10, 20), std::tuple(true, 0.0, int64_t{5}, int64_t{8}, int64_t{7}));
    // Starting below the window: not walked at all (the lower half lies below it too).
    EXPECT_EQ(plan(20.0f, 30.0f, 0, 20), std::tuple(true, 0.0, int64_t{0}, int64_t{0}, int64_t{-1}));
    // Absurd coordinates stay whole numbers in doubles.
    const float huge = 1.0e30f;
    EXPECT_EQ(plan(-huge, 3.0f, 0, 10),
              std::tuple(true, static_cast<double>(huge), int64_t{0}, int64_t{0}, int64_t{2}));
    EXPECT_EQ(plan(-INFINITY, 3.0f, 0, 10), std::tuple(true, INFINITY, int64_t{0}, int64_t{0}, int64_t{2}));
}

TEST(ReachedRows, FromTheHighestCornerToTheRowBelowTheLowest) {
    const auto rows = [](float top, float middle, float bottom, uint32_t height) {
        const row_range_t r = reached_rows(top, middle, bottom, height);
        return std::pair(r.begin, r.end);
    };
    EXPECT_EQ(rows(0.3f, 2.0f, 3.7f, 10), std::pair(0, 6));
    EXPECT_EQ(rows(2.5f, 3.0f, 3.5f, 10), std::pair(2, 6));  // ties to even: rows 2 .. 4 + 1
    EXPECT_EQ(rows(-5.0f, 2.0f, 30.0f, 10), std::pair(0, 10));
    EXPECT_TRUE(reached_rows(12.0f, 13.0f, 14.0f, 10).empty());
    EXPECT_EQ(rows(-5.0f, -3.0f, -0.6f, 10), std::pair(0, 1));  // a line's end may reach row 0
    EXPECT_TRUE(reached_rows(-5.0f, -3.0f, -2.6f, 10).empty());
    // NaN corners are left out.
    EXPECT_EQ(rows(1.0f, NAN, 4.0f, 10), std::pair(1, 6));
    EXPECT_EQ(rows(NAN, 2.0f, 4.0f, 10), std::pair(2, 6));
    EXPECT_TRUE(reached_rows(NAN, NAN, NAN, 10).empty());
    EXPECT_TRUE(reached_rows(0.0f, 2.0f, 4.0f, 0).empty());
}

TEST(ReachedRows, TheQuickRuleGivesTheRowsOfTheGeneralOne) {
    // Ties at every half row, both signs of zero, the edges of the framebuffer and of the
    // quick rule's range (2^20), and beyond it.
    const float ys[] = {-1048577.0f, -1048576.5f, -1048576.0f, -1000.5f,   -2.5f,      -1.5f,  -0.5f,   -0.0f,
                        0.0f,        0.49f,       0.5f,        1.5f,       2.5f,       9.5f,   10.5f,   11.5f,
                        599.5f,      600.5f,      1048575.5f,  1048576.0f, 1048576.5f, 3.0e9f, INFINITY};
    for (const uint32_t height : {0u, 1u, 10u, 600u, 1048576u, 1048577u}) {
        for (const float top : ys) {
            for (const float bottom : ys) {
                if (bottom < top) continue;
                for (const float middle : {top, bottom, NAN}) {
                    const row_range_t quick = reached_rows(top, middle, bottom, height);
                    const row_range_t any = reached_rows_of_any(top, middle, bottom, height);
                    ASSERT_EQ(std::pair(quick.begin, quick.end), std::pair(any.begin, any.end))
                        << top << " " << middle << " " << bottom << ", height " << height;
                }
            }
        }
    }
}

TEST(ReachedRows, ATriangleWalksNoRowExactlyWhenItsHalvesDrawNone) {
    // Ties to even: 1.5 and 2.5 both round to row 2, so a triangle between them walks none.
    EXPECT_TRUE(walks_no_row(1.5f, 2.5f));
    EXPECT_FALSE(walks_no_row(2.5f, 3.5f));
    EXPECT_FALSE(walks_no_row(NAN, NAN));
    const float ys[] = {-3.5f, -0.5f, -0.0f, 0.0f, 0.49f, 0.5f, 0.51f, 1.5f, 2.5f, 2.51f, 599.5f, 1.0e30f, INFINITY};
    for (const float top : ys) {
        for (const float bottom : ys) {
            if (bottom < top) continue;
            // The rows drawn in a framebuffer of 600 rows: none when it walks none, and within
            // the framebuffer, some when it walks some.
            const half_walk_t whole = walk_of_half(top, bottom, 0, 600);
            const bool draws_none = whole.last < whole.first;
            if (walks_no_row(top, bottom)) {
                EXPECT_TRUE(draws_none) << top << " " << bottom;
            }
            if (top >= -0.5f && bottom <= 599.5f) {
                EXPECT_EQ(walks_no_row(top, bottom), draws_none) << top << " " << bottom;
            }
        }
    }
}

TEST(BandLayout, BandsFromTheThreadCountOrAGivenHeight) {
    // Eight bands per thread, at least 8 rows each; the last band holds what is left.
    const band_layout_t auto_rows(600, 2, 0);
    EXPECT_EQ(auto_rows.count(), 16u);
    EXPECT_EQ(auto_rows.rows_of(0).end, 38);
    EXPECT_EQ(std::pair(auto_rows.rows_of(15).begin, auto_rows.rows_of(15).end), std::pair(570, 600));
    EXPECT_EQ(auto_rows.band_of(37), 0u);
    EXPECT_EQ(auto_rows.band_of(38), 1u);
    EXPECT_EQ(band_layout_t(29, 8, 0).count(), 4u);  // 8-row bands: fewer bands than asked for
    // Given heights: one row each, and taller than the framebuffer (one band of every row).
    EXPECT_EQ(band_layout_t(29, 3, 1).count(), 29u);
    const band_layout_t one(29, 3, 1000);
    EXPECT_EQ(one.count(), 1u);
    EXPECT_EQ(std::pair(one.rows_of(0).begin, one.rows_of(0).end), std::pair(0, 29));
    EXPECT_EQ(band_layout_t(0, 2, 0).count(), 0u);
}

TEST(BandLayout, BandsOfEqualCostFromEachRowsCost) {
    const auto rows = [](const band_layout_t& l, uint32_t b) {
        return std::pair(l.rows_of(b).begin, l.rows_of(b).end);
    };
    // Rows 0 .. 99, the work in rows 40 .. 59 (10 each) and a little in row 90: with an eighth
    // of the total spread over every row (0.29 each), each band ends at the first row that
    // takes it past its quarter of the cost (58.3, 116.6, 174.9 of 233.1).
    std::vector<float> cost(100, 0.0f);
    for (int r = 40; r < 60; ++r) cost[static_cast<size_t>(r)] = 10.0f;
    cost[90] = 4.0f;
    band_layout_t layout;
    layout.cut_by_cost(cost.data(), 100, 4);
    ASSERT_EQ(layout.count(), 4u);
    EXPECT_EQ(rows(layout, 0), std::pair(0, 45));
    EXPECT_EQ(rows(layout, 1), std::pair(45, 51));
    EXPECT_EQ(rows(layout, 2), std::pair(51, 56));
    EXPECT_EQ(rows(layout, 3), std::pair(56, 100));
    for (int32_t r = 0; r < 100; ++r) {
        const uint32_t b = layout.band_of(r);
        ASSERT_TRUE(layout.rows_of(b).begin <= r && r < layout.rows_of(b).end) << "row " << r;
    }
    // All the cost in the last row: that row is a band of its own, and the bands before it
    // still get a row each (no band is left without one).
    std::vector<float> last(10, 0.0f);
    last[9] = 1.0f;
    layout.cut_by_cost(last.data(), 10, 4);
    ASSERT_EQ(layout.count(), 4u);
    EXPECT_EQ(rows(layout, 0), std::pair(0, 7));
    EXPECT_EQ(rows(layout, 1), std::pair(7, 8));
    EXPECT_EQ(rows(layout, 2), std::pair(8, 9));
    EXPECT_EQ(rows(layout, 3), std::pair(9, 10));
    // More bands than rows: one row each. No cost at all: bands of equal height. Cut again in
    // the same layout, nothing of the last cut is left.
    layout.cut_by_cost(last.data(), 3, 8);
    EXPECT_EQ(layout.count(), 3u);
    EXPECT_EQ(rows(layout, 2), std::pair(2, 3));
    const std::vector<float> none(30, 0.0f);
    layout.cut_by_cost(none.data(), 30, 4);
    ASSERT_EQ(layout.count(), 4u);
    EXPECT_EQ(rows(layout, 0), std::pair(0, 8));
    EXPECT_EQ(rows(layout, 3), std::pair(24, 30));
    EXPECT_EQ(layout.band_of(29), 3u);
    layout.cut_by_cost(none.data(), 30, 1);
    EXPECT_EQ(layout.count(), 1u);
    EXPECT_EQ(layout.height(), 30);
    layout.cut_by_cost(none.data(), 0, 4);
    EXPECT_EQ(layout.count(), 0u);
}
