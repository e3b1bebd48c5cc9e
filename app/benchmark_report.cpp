// Benchmark statistics: median, mean, 95th percentile and rate.
#include "app/benchmark_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

uint64_t rounded_mean(uint64_t total, uint64_t count) { return (total + count / 2) / count; }

std::string printed(const char* format, auto... values) {
    char buf[512];
    const int n = std::snprintf(buf, sizeof buf, format, values...);
    return std::string(buf, n < 0 ? 0 : std::min<size_t>(static_cast<size_t>(n), sizeof buf - 1));
}

}  // namespace

benchmark_summary_t summarise_benchmark(std::span<const double> frame_ms, uint64_t total_triangles,
                                        uint64_t total_pixels) {
    benchmark_summary_t s;
    if (frame_ms.empty()) return s;
    std::vector<double> sorted(frame_ms.begin(), frame_ms.end());
    std::sort(sorted.begin(), sorted.end());
    const size_t n = sorted.size();
    s.frames = n;
    s.median_ms = n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
    double sum = 0.0;
    for (const double t : sorted) sum += t;
    s.mean_ms = sum / static_cast<double>(n);
    // Nearest rank ceil(0.95 n), counted in integers so that no rounding moves it.
    const size_t rank = (95 * n + 99) / 100;
    s.p95_ms = sorted[rank - 1];
    s.fps = 1000.0 / s.mean_ms;
    s.triangles = rounded_mean(total_triangles, n);
    s.pixels = rounded_mean(total_pixels, n);
    return s;
}

namespace {

// Both lines show the same figures in the same order.
std::string with_figures(const char* format, const benchmark_summary_t& s) {
    return printed(format, static_cast<unsigned long long>(s.frames), s.median_ms, s.mean_ms, s.p95_ms, s.fps,
                   static_cast<unsigned long long>(s.triangles), static_cast<unsigned long long>(s.pixels), s.threads,
                   s.isa.c_str(), s.load_ms);
}

}  // namespace

std::string benchmark_machine_line(const benchmark_summary_t& s) {
    return with_figures(
        "frames=%llu median_ms=%.4f mean_ms=%.4f p95_ms=%.4f fps=%.1f triangles=%llu pixels=%llu threads=%u isa=%s "
        "load_ms=%.3f",
        s);
}

std::string benchmark_human_line(const benchmark_summary_t& s) {
    return with_figures(
        "%llu frames: median %.3f ms, mean %.3f ms, 95th percentile %.3f ms per frame (%.1f frames per "
        "second); %llu triangles and %llu pixels per frame; %u threads, %s span path; the scene loaded in %.1f ms",
        s);
}
