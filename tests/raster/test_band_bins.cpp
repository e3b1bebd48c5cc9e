// Sorting queued triangles into horizontal bands: which bins each lands in, and in what order.
#include <gtest/gtest.h>

#include <vector>

#include "raster/triangle_queue.h"

namespace {

queued_triangle_t reaching(int32_t begin, int32_t end) {
    queued_triangle_t t;
    t.rows = {begin, end};
    return t;
}

TEST(BandBins, EachTriangleLandsInEveryBandItReachesInSubmissionOrder) {
    // Bands of 10 rows, three of them (rows 0 .. 29).
    const std::vector<queued_triangle_t> triangles = {
        reaching(0, 5),    // 0: band 0 only
        reaching(5, 25),   // 1: bands 0, 1 and 2
        reaching(7, 7),    // 2: no row, no band
        reaching(28, 30),  // 3: band 2, up to the last row
        reaching(10, 11),  // 4: the first row of band 1
        reaching(9, 10),   // 5: the last row of band 0
    };
    triangle_run_t run;
    run.triangles = triangles.data();
    run.count = static_cast<uint32_t>(triangles.size());
    band_bins_t bins;
    bin_by_band(run, band_layout_t(30, 1, 10), bins);
    EXPECT_EQ(run.bins, &bins);
    EXPECT_EQ(bins.first, (std::vector<uint32_t>{0, 3, 5, 7}));
    EXPECT_EQ(bins.entries, (std::vector<uint32_t>{0, 1, 5, 1, 4, 1, 3}));

    // Binned again for other bands, with the same bins: nothing of the first sort is left.
    bin_by_band(run, band_layout_t(30, 1, 30), bins);
    EXPECT_EQ(bins.first, (std::vector<uint32_t>{0, 5}));
    EXPECT_EQ(bins.entries, (std::vector<uint32_t>{0, 1, 3, 4, 5}));
}

TEST(BandBins, BandsOfUnevenHeightCountedAsTheTrianglesComeAndPlacedAfter) {
    // Bands of 2, 1 and 7 rows, cut by cost (the cost in rows 0 .. 2).
    const float cost[10] = {40.0f, 40.0f, 40.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    band_layout_t bands;
    bands.cut_by_cost(cost, 10, 3);
    ASSERT_EQ(bands.count(), 3u);
    ASSERT_EQ(bands.rows_of(1).begin, 2);
    ASSERT_EQ(bands.rows_of(2).begin, 3);
    const std::vector<queued_triangle_t> triangles = {
        reaching(0, 10),  // 0: every band
        reaching(3, 4),   // 1: band 2
        reaching(2, 3),   // 2: band 1
        reaching(4, 4),   // 3: no row
        reaching(1, 3),   // 4: bands 0 and 1
    };
    band_bins_t bins;
    bins.start(bands);
    for (const queued_triangle_t& t : triangles) bins.count(bands, t.rows);
    triangle_run_t run;
    run.triangles = triangles.data();
    run.count = static_cast<uint32_t>(triangles.size());
    place_in_bins(run, bands, bins);
    EXPECT_EQ(bins.first, (std::vector<uint32_t>{0, 2, 5, 7}));
    EXPECT_EQ(bins.entries, (std::vector<uint32_t>{0, 4, 0, 2, 4, 0, 1}));
    // The same as sorting the whole run at once.
    band_bins_t at_once;
    bin_by_band(run, bands, at_once);
    EXPECT_EQ(at_once.first, bins.first);
    EXPECT_EQ(at_once.entries, bins.entries);
}

}  // namespace
