// The mesh's per-frame work space.
#include "mesh/mesh_frame.h"

mesh_frame_t::mesh_frame_t(int32_t vertex_capacity, int32_t triangle_capacity) {
    const auto v = static_cast<size_t>(vertex_capacity > 0 ? vertex_capacity : 0);
    const auto t = static_cast<uint32_t>(triangle_capacity > 0 ? triangle_capacity : 0);
    chunk_count = t / chunk_triangles + (t % chunk_triangles != 0 ? 1 : 0);
    vertices.reset(new vertex_t[v]);
    triangles.reset(new queued_triangle_t[t]);
    batches.reset(new triangle_batch_t[chunk_count]);
    runs.reset(new triangle_run_t[chunk_count]);
    bins.reset(new band_bins_t[chunk_count]);
}
