// Model benchmarks: loading a generated million-triangle OBJ file, and drawing a 100,000-triangle model mesh.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench/bench_common.h"
#include "model/model_load.h"
#include "model/model_mesh.h"

namespace {

// A rippled sheet of columns x rows quads, each written as two triangles with texture
// coordinates, as exporters write OBJ files.
std::string sheet_obj(int columns, int rows) {
    std::string text;
    text.reserve(static_cast<size_t>(columns) * rows * 60);
    char line[96];
    for (int y = 0; y <= rows; ++y) {
        for (int x = 0; x <= columns; ++x) {
            const double u = static_cast<double>(x) / columns, v = static_cast<double>(y) / rows;
            std::snprintf(line, sizeof line, "v %.5f %.5f %.5f\n", 2.0 * u - 1.0, v - 0.5,
                          0.1 * std::sin(20.0 * u) * std::cos(13.0 * v));
            text += line;
        }
    }
    for (int y = 0; y <= rows; ++y) {
        for (int x = 0; x <= columns; ++x) {
            std::snprintf(line, sizeof line, "vt %.5f %.5f\n", static_cast<double>(x) / columns,
                          static_cast<double>(y) / rows);
            text += line;
        }
    }
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < columns; ++x) {
            const int a = y * (columns + 1) + x + 1, b = a + 1, c = a + columns + 1, d = c + 1;
            std::snprintf(line, sizeof line, "f %d/%d %d/%d %d/%d\nf %d/%d %d/%d %d/%d\n", a, a, b, b, d, d, a, a, d, d,
                          c, c);
            text += line;
        }
    }
    return text;
}

// The generated file, written once per process into the temporary folder and removed at exit.
struct sheet_file_t {
    std::string path;
    sheet_file_t(int columns, int rows, const char* name) {
        path = (std::filesystem::temp_directory_path() /
                ("softcube_bench_" + std::to_string(getpid()) + "_" + name + ".obj"))
                   .string();
        std::ofstream(path, std::ios::binary) << sheet_obj(columns, rows);
    }
    ~sheet_file_t() { std::filesystem::remove(path); }
};

const sheet_file_t& million_triangles() {
    static const sheet_file_t file(1000, 500, "million");
    return file;
}

// The baseline of the load: only reading the file's bytes into memory.
void BM_read_obj_bytes(benchmark::State& state) {
    const std::string& path = million_triangles().path;
    std::vector<char> bytes(std::filesystem::file_size(path));
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["MB"] = static_cast<double>(bytes.size()) / 1e6;
}
BENCHMARK(BM_read_obj_bytes)->Unit(benchmark::kMillisecond);

// load_model of the million-triangle file: parse, checks, centring (normals computed, as the
// file has none).
void BM_load_obj_million_triangles(benchmark::State& state) {
    const std::string& path = million_triangles().path;
    size_t triangles = 0;
    for (auto _ : state) {
        model_t model;
        std::string error;
        if (!load_model(path, &model, &error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        triangles = model.triangle_count();
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["triangles_per_s"] =
        benchmark::Counter(static_cast<double>(triangles), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_load_obj_million_triangles)->Unit(benchmark::kMillisecond);

// A 100,000-triangle model drawn through the mesh path with the demo's turning camera.
void BM_draw_model_100k_triangles(benchmark::State& state) {
    static const sheet_file_t file(250, 200, "100k");
    model_t model;
    std::string error;
    if (!load_model(file.path, &model, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    bench::run_mesh_frames(state, *make_mesh(model, default_model_opacity));
}
BENCHMARK(BM_draw_model_100k_triangles)->Unit(benchmark::kMillisecond);

}  // namespace
