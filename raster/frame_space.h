// frame_space_t: the arrays a frame renderer fills, kept from frame to frame so drawing stops allocating.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/vertex.h"
#include "raster/band_layout.h"
#include "raster/triangle_queue.h"

// Each array grows to the largest frame drawn with it and keeps its capacity, so a steady
// scene allocates in its first frames only, and a space grown for a mesh ahead of time
// (both grow functions) none at all for that mesh.
struct frame_space_t {
    // A mesh's vertices, mapped once per frame.
    std::vector<vertex_t> vertices;
    // Per chunk of a mesh's slots, with threads: chunk c's queued triangles from
    // triangles[c * mesh_front_end_t::chunk_slots] on (direct route) or its batch (the
    // clipper's route), its run, and the run sorted by band.
    std::vector<queued_triangle_t> triangles;
    std::vector<triangle_batch_t> batches;
    std::vector<triangle_run_t> runs;
    std::vector<band_bins_t> bins;
    // Triangles handed over one at a time with threads, until the bands draw them.
    triangle_batch_t loose;
    band_bins_t loose_bins;

    // The bands of the frame being drawn, and what drawing cost in each row of the last frame
    // drawn in bands with this space, a picture row_cost_height rows high (0: none yet), as
    // the frame renderer estimates it; the next frame's bands are cut from it. Scenes change
    // little from one frame to the next, so the rows that were expensive stay so.
    band_layout_t bands;
    std::vector<float> row_cost;
    std::vector<float> row_cost_spread;  // work space: the costs spread over many rows, as differences
    uint32_t row_cost_height = 0;

    // Room for a mesh of this many vertex slots, and for the chunks of this many triangle
    // slots queued for the bands.
    void grow_vertices(int32_t vertex_slots);
    void grow_chunks(int32_t triangle_slots);
};
