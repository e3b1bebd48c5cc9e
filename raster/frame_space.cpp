// The frame renderer's arrays, grown for a mesh.
#include "raster/frame_space.h"

#include <algorithm>

#include "raster/mesh_front_end.h"

namespace {

template <class T>
void grow(std::vector<T>& v, size_t size) {
    if (v.size() < size) v.resize(size);
}

}  // namespace

void frame_space_t::grow_vertices(int32_t vertex_slots) {
    grow(vertices, static_cast<size_t>(std::max(vertex_slots, 0)));
}

void frame_space_t::grow_chunks(int32_t triangle_slots) {
    const uint32_t chunks = mesh_front_end_t::chunks_for(triangle_slots);
    grow(triangles, static_cast<size_t>(std::max(triangle_slots, 0)));
    grow(batches, chunks);
    grow(runs, chunks);
    grow(bins, chunks);
}
