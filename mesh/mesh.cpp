// The indexed mesh: storage, filling and per-frame drawing.
#include "mesh/mesh.h"

#include <algorithm>
#include <atomic>
#include <new>

#include "mesh/mesh_frame.h"
#include "raster/band_drawer.h"
#include "raster/pipeline.h"
#include "raster/rasteriser.h"
#include "surfaces/screen.h"

namespace {

// Below this many vertices and triangles together the preparation is not worth waking the
// other threads for (the demo's cube): the calling thread prepares, the bands still draw.
constexpr int64_t parallel_preparation_threshold = 2048;

}  // namespace

mesh_t::mesh_t() = default;

mesh_t::mesh_t(int32_t vertex_capacity_, int32_t triangle_capacity_) {
    if (vertex_capacity_ > 0) {
        vertices.reset(new vertex_t[static_cast<size_t>(vertex_capacity_)]);
        vertex_capacity = vertex_capacity_;
    }
    if (triangle_capacity_ > 0) {
        triangles.reset(new triangle_t[static_cast<size_t>(triangle_capacity_)]);
        triangle_capacity = triangle_capacity_;
    }
    frame = std::make_unique<mesh_frame_t>(vertex_capacity, triangle_capacity);
}

mesh_t::~mesh_t() {
    vertices.reset();
    triangles.reset();
    vertex_capacity = triangle_capacity = vertex_count = triangle_count = 0;
}

bool mesh_t::add_vertex(const vertex_t& vertex) {
    if (vertex_count >= vertex_capacity) return false;
    vertices[static_cast<size_t>(vertex_count)] = vertex;
    ++vertex_count;
    return true;
}

bool mesh_t::add_triangle(const triangle_t& triangle) {
    if (triangle_count >= triangle_capacity) return false;
    triangles[static_cast<size_t>(triangle_count)] = triangle;
    ++triangle_count;
    return true;
}

bool mesh_t::add_triangle(int32_t a, int32_t b, int32_t c) { return add_triangle(triangle_t(a, b, c)); }

void mesh_t::render(screen_t& screen, const mat4_t& matrix, const texture_t& texture) const {
    if (!frame || vertex_capacity == 0 || triangle_capacity == 0) return;  // no slot can be drawn
    mesh_frame_t& f = *frame;
    const bool clipped = screen.clip_triangles != 0;
    const mat4_t viewport = viewport_of(screen);
    // A slot whose indices fall outside the vertex array is skipped rather than read out of bounds.
    const auto valid_indices = [this](const triangle_t& t) {
        const auto valid = [this](int32_t i) { return i >= 0 && i < vertex_capacity; };
        return valid(t.a) && valid(t.b) && valid(t.c);
    };

    const auto map_vertices = [&](int32_t begin, int32_t end) {
        for (int32_t v = begin; v < end; ++v) {
            const vertex_t clip = transform(vertices[static_cast<size_t>(v)], matrix);
            f.vertices[static_cast<size_t>(v)] = clipped ? clip : to_screen_vertex(clip, viewport);
        }
    };
    // One chunk of slots in order.
    const auto queue_chunk = [&](uint32_t chunk) {
        const uint32_t first = chunk * mesh_frame_t::chunk_triangles;
        const uint32_t end = std::min(first + mesh_frame_t::chunk_triangles, static_cast<uint32_t>(triangle_capacity));
        if (clipped) {
            triangle_batch_t& batch = f.batches[chunk];
            batch.clear();
            for (uint32_t i = first; i < end; ++i) {
                const triangle_t& t = triangles[i];
                if (!valid_indices(t)) continue;
                batch.add_clipped(screen, f.vertices[static_cast<size_t>(t.a)], f.vertices[static_cast<size_t>(t.b)],
                                  f.vertices[static_cast<size_t>(t.c)]);
            }
            f.runs[chunk] = batch.run();
            return;
        }
        triangle_run_t run{f.vertices.get(), f.triangles.get() + first, 0, {}};
        queued_triangle_t* out = f.triangles.get() + first;
        for (uint32_t i = first; i < end; ++i) {
            const triangle_t& t = triangles[i];
            if (!valid_indices(t)) continue;
            queued_triangle_t& q = out[run.count];
            if (!queue_triangle(screen, f.vertices.get(), static_cast<uint32_t>(t.a), static_cast<uint32_t>(t.b),
                                static_cast<uint32_t>(t.c), q)) {
                continue;
            }
            run.rows.widen(q.rows);
            ++run.count;
        }
        f.runs[chunk] = run;
    };

    base::thread_pool_t* pool = screen.threads;
    const uint32_t threads = pool != nullptr ? pool->size() : 1;
    if (threads == 1 && !clipped) {
        // One thread draws each triangle as soon as its corners are sorted: nothing is queued.
        map_vertices(0, vertex_capacity);
        const vertex_t* v = f.vertices.get();
        const bool cull = screen.cull_backfaces != 0;
        row_rasteriser_t rows(screen, texture, 0, static_cast<int32_t>(std::min<uint32_t>(screen.height, INT32_MAX)));
        uint32_t drawn = 0;
        uint32_t pixels = 0;
        for (int32_t i = 0; i < triangle_capacity; ++i) {
            const triangle_t& t = triangles[static_cast<size_t>(i)];
            if (!valid_indices(t)) continue;
            const vertex_t* corner[3] = {v + t.a, v + t.b, v + t.c};
            const corner_order_t order = order_corners(cull, *corner[0], *corner[1], *corner[2]);
            if (order.culled) continue;
            pixels += rows.draw(*corner[order.top], *corner[order.middle], *corner[order.bottom], order.middle_is_left);
            ++drawn;
        }
        screen.triangle_count += drawn;
        screen.pixel_count += pixels;
        return;
    }
    if (threads == 1 || int64_t{vertex_capacity} + triangle_capacity < parallel_preparation_threshold) {
        map_vertices(0, vertex_capacity);
        for (uint32_t c = 0; c < f.chunk_count; ++c) queue_chunk(c);
        draw_queued(screen, f.runs.get(), f.chunk_count, texture, pool);
        return;
    }
    // One job of three phases: vertices in equal shares, then chunks of triangles as threads
    // come free (clipping makes them uneven), each sorted by band, then the bands.
    band_drawer_t bands(screen, texture, threads);
    std::atomic<uint32_t> next_chunk{0};
    pool->run([&](uint32_t worker) {
        const int64_t n = vertex_capacity;
        map_vertices(static_cast<int32_t>(n * worker / threads), static_cast<int32_t>(n * (worker + 1) / threads));
        pool->sync();
        for (uint32_t c = next_chunk.fetch_add(1, std::memory_order_relaxed); c < f.chunk_count;
             c = next_chunk.fetch_add(1, std::memory_order_relaxed)) {
            queue_chunk(c);
            bands.bin(f.runs[c], f.bins[c]);
        }
        pool->sync();
        bands.draw(worker, f.runs.get(), f.chunk_count);
    });
    bands.finish(f.runs.get(), f.chunk_count);
}
