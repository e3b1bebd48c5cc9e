// Benchmark summary: median, mean, nearest-rank 95th percentile, rate, per-frame counts.
#include <gtest/gtest.h>

#include <regex>
#include <vector>

#include "app/benchmark_report.h"

TEST(BenchmarkReport, FiguresOfOddAndEvenRuns) {
    const std::vector<double> odd = {5.0, 1.0, 3.0};
    auto s = summarise_benchmark(odd, 36, 301);
    EXPECT_EQ(s.frames, 3u);
    EXPECT_EQ(s.median_ms, 3.0);
    EXPECT_EQ(s.mean_ms, 3.0);
    EXPECT_EQ(s.p95_ms, 5.0);
    EXPECT_EQ(s.fps, 1000.0 / 3.0);
    EXPECT_EQ(s.triangles, 12u);
    EXPECT_EQ(s.pixels, 100u);  // 100.33 rounds down

    const std::vector<double> even = {4.0, 1.0, 2.0, 3.0};
    s = summarise_benchmark(even, 0, 6);
    EXPECT_EQ(s.median_ms, 2.5);
    EXPECT_EQ(s.mean_ms, 2.5);
    EXPECT_EQ(s.fps, 400.0);
    EXPECT_EQ(s.pixels, 2u);  // 1.5 rounds up

    const std::vector<double> one = {7.25};
    s = summarise_benchmark(one, 12, 0);
    EXPECT_EQ(s.median_ms, 7.25);
    EXPECT_EQ(s.p95_ms, 7.25);

    s = summarise_benchmark({}, 0, 0);
    EXPECT_EQ(s.frames, 0u);
    EXPECT_EQ(s.fps, 0.0);
}

TEST(BenchmarkReport, Percentile95IsTheNearestRank) {
    std::vector<double> times;
    for (int i = 100; i >= 1; --i) times.push_back(i);  // 1 .. 100, given in reverse
    EXPECT_EQ(summarise_benchmark(times, 0, 0).p95_ms, 95.0);
    times.resize(20);  // 100 .. 81: rank ceil(19) = 19th smallest
    EXPECT_EQ(summarise_benchmark(times, 0, 0).p95_ms, 99.0);
    times.resize(21);  // 100 .. 80: rank ceil(19.95) = 20th smallest
    EXPECT_EQ(summarise_benchmark(times, 0, 0).p95_ms, 99.0);
    times.resize(19);  // 100 .. 82: rank ceil(18.05) = 19th smallest
    EXPECT_EQ(summarise_benchmark(times, 0, 0).p95_ms, 100.0);
}

TEST(BenchmarkReport, TheMachineLineHasItsFixedKeys) {
    const std::vector<double> times = {1.5, 2.5};
    const auto s = summarise_benchmark(times, 24, 20000);
    EXPECT_EQ(benchmark_machine_line(s),
              "frames=2 median_ms=2.0000 mean_ms=2.0000 p95_ms=2.5000 fps=500.0 triangles=12 pixels=10000");
    const std::string human = benchmark_human_line(s);
    EXPECT_NE(human.find("2 frames"), std::string::npos);
    EXPECT_EQ(human.find('\n'), std::string::npos);
}
