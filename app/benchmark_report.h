// Summary figures of a benchmark run and their two printed forms.
#pragma once

#include <cstdint>
#include <span>
#include <string>

struct benchmark_summary_t {
    uint64_t frames = 0;
    double median_ms = 0.0;
    double mean_ms = 0.0;
    double p95_ms = 0.0;           // nearest rank: the smallest time at or above 95 % of the frames
    double fps = 0.0;              // 1000 / mean_ms
    uint64_t triangles = 0;        // per frame, mean rounded to the nearest
    uint64_t pixels = 0;           // per frame, mean rounded to the nearest
    uint32_t threads = 1;          // rendering threads of the run
    std::string isa = "portable";  // the span path of the run (span_isa_name)
    double load_ms = 0.0;          // loading the scene (the model, or the cube and its texture), before any frame
};

// Frame times in milliseconds (the order does not matter) and the summed counters of all
// those frames. An empty run gives all zeros.
benchmark_summary_t summarise_benchmark(std::span<const double> frame_ms, uint64_t total_triangles,
                                        uint64_t total_pixels);

// "frames=N median_ms=... mean_ms=... p95_ms=... fps=... triangles=... pixels=... threads=N isa=NAME load_ms=..."
std::string benchmark_machine_line(const benchmark_summary_t& s);
// One sentence for people.
std::string benchmark_human_line(const benchmark_summary_t& s);
