// Shared pieces of the benchmarks: the demo's cube scene, the floor workload and the counters every figure reports.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "mesh/mesh.h"
#include "scene/cube_scene.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"

namespace bench {

// The workers the mesh benchmarks draw with: SOFTCUBE_THREADS of them, else one per online
// core (a bad value ends the run with status 2), started on first use.
base::thread_pool_t& render_threads();

constexpr uint32_t screen_width = 800;
constexpr uint32_t screen_height = 600;

// The span pixels one demo frame walks, roughly; the floor touches this many pixels.
constexpr uint32_t floor_pixels = 300000;

// The demo's cube with a patterned texture, turned once so that its frame matrix is ready.
// Its angle wraps after a full turn of the slowest axis, so long runs keep seeing the same
// mix of views.
struct cube_scene_t : ::cube_scene_t {
    explicit cube_scene_t(const screen_t& screen);
};

// A texture with a pattern in every byte (colours and transparencies), for textured mode.
std::unique_ptr<texture_t> patterned_texture(uint32_t side);

// A UV sphere of radius 1 in the cube's place: sphere_stacks x sphere_slices quads of two
// triangles, translucent, coloured by position, with normals and texture coordinates.
constexpr int sphere_stacks = 160;
constexpr int sphere_slices = 320;
constexpr int sphere_vertices = (sphere_stacks + 1) * (sphere_slices + 1);
constexpr int sphere_triangles = sphere_stacks * sphere_slices * 2;
void add_uv_sphere(mesh_t& mesh);

// The floor: what one frame cannot avoid doing. A memset of the colour buffer, a fill of
// the depth buffer, and a trivial read-test-write over floor_pixels pixels (depth compare,
// depth and colour store), written so the compiler can vectorise it.
void floor_work(uint8_t* colour, float* depth, uint32_t pixel_count);

// The floor's best time of 101 runs in seconds, measured once per process on first use.
double floor_seconds();

// Reports the figure as a multiple of the floor measured in this run ("x_floor").
void report_floor_ratio(benchmark::State& state);

// Pixel and triangle rates and per-iteration averages from the screen's counters summed
// over the run.
void report_counts(benchmark::State& state, uint64_t pixels, uint64_t triangles);

// The benchmark's loop over frames of the mesh turned by the cube's camera on an 800 x 600
// offscreen screen with the render threads: the camera's turn, both clears and the mesh's
// render per iteration; reports the counts and the ratio to the floor.
void run_mesh_frames(benchmark::State& state, const mesh_t& mesh);

}  // namespace bench
