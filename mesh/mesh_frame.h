// mesh_frame_t: the work space of one mesh draw, sized with the mesh so that drawing allocates nothing.
#pragma once

#include <cstdint>
#include <memory>

#include "geometry/vertex.h"
#include "raster/triangle_queue.h"

// The triangle slots are cut into chunks of consecutive slots; each chunk becomes one run of
// queued triangles, made by one thread, and the runs keep the slots' order.
struct mesh_frame_t {
    static constexpr uint32_t chunk_triangles = 256;

    // Every mesh vertex mapped once per frame: clip space on the clipper's route, screen
    // space otherwise.
    std::unique_ptr<vertex_t[]> vertices;
    // Direct route: chunk c queues its triangles from triangles[c * chunk_triangles] on.
    std::unique_ptr<queued_triangle_t[]> triangles;
    // Clipper's route: each chunk's fans, in arrays that keep their capacity between frames.
    std::unique_ptr<triangle_batch_t[]> batches;
    std::unique_ptr<triangle_run_t[]> runs;
    // With the screen's threads: each chunk's triangles sorted by band.
    std::unique_ptr<band_bins_t[]> bins;
    uint32_t chunk_count = 0;

    mesh_frame_t(int32_t vertex_capacity, int32_t triangle_capacity);
};
