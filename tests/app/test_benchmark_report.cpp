// Benchmark summary: median, mean, nearest-rank 95th percentile, rate, per-frame counts.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "app/benchmark_report.h"

TEST(BenchmarkReport, FiguresOfOddEvenAndEmptyRuns) {
    const auto figures = [](std::vector<double> times, uint64_t triangles, uint64_t pixels) {
        const benchmark_summary_t s = summarise_benchmark(times, triangles, pixels);
        return std::tuple(s.frames, s.median_ms, s.mean_ms, s.p95_ms, s.fps, s.triangles, s.pixels);
    };
    EXPECT_EQ(figures({5.0, 1.0, 3.0}, 36, 301),
              std::tuple(3u, 3.0, 3.0, 5.0, 1000.0 / 3.0, 12u, 100u));                             // 100.33 rounds down
    EXPECT_EQ(figures({4.0, 1.0, 2.0, 3.0}, 0, 6), std::tuple(4u, 2.5, 2.5, 4.0, 400.0, 0u, 2u));  // 1.5 rounds up
    EXPECT_EQ(figures({7.25}, 12, 0), std::tuple(1u, 7.25, 7.25, 7.25, 1000.0 / 7.25, 12u, 0u));
    EXPECT_EQ(figures({}, 0, 0), std::tuple(0u, 0.0, 0.0, 0.0, 0.0, 0u, 0u));
    // The 95th percentile is the nearest rank, ceil(0.95 n): times 100 down to 101 - n.
    std::vector<double> times;
    for (int i = 100; i >= 1; --i) times.push_back(i);
    for (auto [n, p95] : {std::pair(100, 95.0), {21, 99.0}, {20, 99.0}, {19, 100.0}}) {
        times.resize(static_cast<size_t>(n));
        EXPECT_EQ(summarise_benchmark(times, 0, 0).p95_ms, p95) << n << " frames";
    }
}

TEST(BenchmarkReport, TheMachineLineHasItsFixedKeysAndTheHumanLineIsOneLine) {
    auto s = summarise_benchmark(std::vector<double>{1.5, 2.5}, 24, 20000);
    EXPECT_EQ(benchmark_machine_line(s),
              "frames=2 median_ms=2.0000 mean_ms=2.0000 p95_ms=2.5000 fps=500.0 triangles=12 pixels=10000 threads=1 "
              "isa=portable load_ms=0.000");
    s.threads = 256;
    s.isa = "avx512";
    s.load_ms = 12.3456;
    EXPECT_NE(benchmark_machine_line(s).find(" pixels=10000 threads=256 isa=avx512 load_ms=12.346"), std::string::npos);
    EXPECT_NE(benchmark_human_line(s).find("256 threads, avx512 span path"), std::string::npos);
    EXPECT_NE(benchmark_human_line(s).find("loaded in 12.3 ms"), std::string::npos);
    EXPECT_NE(benchmark_human_line(s).find("2 frames"), std::string::npos);
    EXPECT_EQ(benchmark_human_line(s).find('\n'), std::string::npos);
}
