// The frame renderer: triangles drawn as the front end sorts them on one thread, or queued and drawn in bands.
#include "raster/frame_renderer.h"

#include <algorithm>

#include "raster/clip.h"
#include "raster/pipeline.h"
#include "surfaces/draw_state.h"
#include "surfaces/frame_counters.h"
#include "surfaces/render_target.h"

namespace {

// Below this many vertices and triangles together the front end is not worth sharing among
// the threads (the demo's cube): the calling thread runs it, the bands still draw in parallel.
constexpr int64_t shared_front_end_threshold = 2048;

int32_t all_rows(const render_target_t& target) {
    return static_cast<int32_t>(std::min<uint32_t>(target.height, INT32_MAX));
}

// The one band of a single thread: each triangle drawn as soon as the front end has sorted it.
struct draw_now_t {
    row_rasteriser_t& rows;
    const texture_t& texture;
    uint32_t triangles = 0;
    uint32_t pixels = 0;

    void take(const vertex_t* v, uint32_t top, uint32_t middle, uint32_t bottom, int32_t middle_is_left) {
        take_corners(v[top], v[middle], v[bottom], middle_is_left);
    }
    void take_corners(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom, int32_t middle_is_left) {
        pixels += rows.draw(top, middle, bottom, middle_is_left, texture);
        ++triangles;
    }
};

// A chunk's triangles queued for the bands: by index into the mapped vertices on the direct
// route, as new corners in the chunk's batch on the clipper's route.
struct queue_t {
    queued_triangle_t* out;
    triangle_batch_t& batch;
    uint32_t height;
    uint32_t count = 0;

    void take(const vertex_t* v, uint32_t top, uint32_t middle, uint32_t bottom, int32_t middle_is_left) {
        queued_triangle_t& q = out[count++];
        q.top = top;
        q.middle = middle;
        q.bottom = bottom;
        q.middle_is_left = middle_is_left;
        q.rows = reached_rows(v[top].y(), v[middle].y(), v[bottom].y(), height);
    }
    void take_corners(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom, int32_t middle_is_left) {
        batch.add(top, middle, bottom, middle_is_left, height);
    }
};

}  // namespace

frame_renderer_t::frame_renderer_t(render_target_t& target, const draw_state_t& state, frame_counters_t& counters,
                                   frame_schedule_t schedule)
    : frame_renderer_t(target, state, counters, nullptr, schedule) {}

frame_renderer_t::frame_renderer_t(render_target_t& target, const draw_state_t& state, frame_counters_t& counters,
                                   frame_space_t& space, frame_schedule_t schedule)
    : frame_renderer_t(target, state, counters, &space, schedule) {}

frame_renderer_t::frame_renderer_t(render_target_t& target, const draw_state_t& state, frame_counters_t& counters,
                                   frame_space_t* space, frame_schedule_t schedule)
    : target_(target),
      state_(state),
      counters_(counters),
      space_(space),
      pool_(schedule.pool),
      thread_count_(schedule.pool != nullptr ? schedule.pool->size() : 1),
      // One thread draws in a single band of every row and needs no layout.
      bands_(thread_count_ > 1 ? band_layout_t(target.height, thread_count_, schedule.band_rows) : band_layout_t()),
      viewport_(viewport_of(target)),
      whole_(target, state, 0, all_rows(target)) {}

frame_renderer_t::~frame_renderer_t() { finish(); }

frame_space_t& frame_renderer_t::space() {
    if (space_ == nullptr) {
        own_space_ = std::make_unique<frame_space_t>();
        space_ = own_space_.get();
    }
    return *space_;
}

void frame_renderer_t::draw_triangle(const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                                     const texture_t& texture) {
    map_and_sort(viewport_, state_.cull_backfaces != 0, c1, c2, c3,
                 [&](const vertex_t& top, const vertex_t& middle, const vertex_t& bottom, int32_t middle_is_left) {
                     rasterise_triangle(top, middle, bottom, middle_is_left, texture);
                 });
}

void frame_renderer_t::clip_and_draw(const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                                     const texture_t& texture) {
    for_each_clipped_triangle(
        c1, c2, c3, [&](const vertex_t& a, const vertex_t& b, const vertex_t& c) { draw_triangle(a, b, c, texture); });
}

void frame_renderer_t::draw_if_inside(const vertex_t& c1, const vertex_t& c2, const vertex_t& c3,
                                      const texture_t& texture) {
    if (is_inside(c1) && is_inside(c2) && is_inside(c3)) draw_triangle(c1, c2, c3, texture);
}

void frame_renderer_t::rasterise_triangle(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                                          int32_t middle_is_left, const texture_t& texture) {
    if (one_band()) {
        counters_.pixel_count += whole_.draw(top, middle, bottom, middle_is_left, texture);
        ++counters_.triangle_count;
        return;
    }
    // The bands draw a queue with one texture.
    if (loose_texture_ != &texture) finish();
    loose_texture_ = &texture;
    space().loose.add(top, middle, bottom, middle_is_left, target_.height);
}

void frame_renderer_t::finish() {
    if (space_ == nullptr || space_->loose.empty()) return;
    triangle_run_t run = space_->loose.run();
    bin_by_band(run, bands_, space_->loose_bins);
    run_bands(&run, 1, *loose_texture_, [](uint32_t) {});
    space_->loose.clear();
}

void frame_renderer_t::draw_mesh(const indexed_mesh_t& mesh, const mat4_t& matrix, const texture_t& texture) {
    if (mesh.vertices == nullptr || mesh.triangles == nullptr || mesh.vertex_count <= 0 || mesh.triangle_count <= 0) {
        return;  // no slot can be drawn
    }
    finish();
    frame_space_t& space = this->space();
    space.grow_vertices(mesh.vertex_count);
    const mesh_front_end_t front(mesh, matrix, viewport_, state_.clip_triangles != 0, state_.cull_backfaces != 0,
                                 space.vertices.data());
    const uint32_t chunks = front.chunks();
    if (one_band()) {
        front.map_vertices(0, mesh.vertex_count);
        draw_now_t band{whole_, texture};
        for (uint32_t c = 0; c < chunks; ++c) front.take_chunk(c, band);
        counters_.triangle_count += band.triangles;
        counters_.pixel_count += band.pixels;
        return;
    }
    space.grow_chunks(mesh.triangle_count);
    if (int64_t{mesh.vertex_count} + mesh.triangle_count < shared_front_end_threshold) {
        front.map_vertices(0, mesh.vertex_count);
        for (uint32_t c = 0; c < chunks; ++c) queue_chunk(front, c);
        run_bands(space.runs.data(), chunks, texture, [](uint32_t) {});
        return;
    }
    // Vertices in equal shares, then chunks of slots as threads come free (clipping makes
    // them uneven), each sorted by band as it is queued; a barrier after each phase.
    next_chunk_.store(0, std::memory_order_relaxed);
    run_bands(space.runs.data(), chunks, texture, [&](uint32_t worker) {
        const int64_t n = mesh.vertex_count;
        front.map_vertices(static_cast<int32_t>(n * worker / thread_count_),
                           static_cast<int32_t>(n * (worker + 1) / thread_count_));
        pool_->sync();
        for (uint32_t c = next_chunk_.fetch_add(1, std::memory_order_relaxed); c < chunks;
             c = next_chunk_.fetch_add(1, std::memory_order_relaxed)) {
            queue_chunk(front, c);
        }
        pool_->sync();
    });
}

void frame_renderer_t::queue_chunk(const mesh_front_end_t& front, uint32_t chunk) {
    frame_space_t& space = *space_;
    triangle_batch_t& batch = space.batches[chunk];
    batch.clear();
    queued_triangle_t* out = space.triangles.data() + size_t{chunk} * mesh_front_end_t::chunk_slots;
    queue_t queue{out, batch, target_.height};
    front.take_chunk(chunk, queue);
    triangle_run_t& run = space.runs[chunk];
    run = state_.clip_triangles != 0 ? batch.run() : triangle_run_t{space.vertices.data(), out, queue.count, nullptr};
    bin_by_band(run, bands_, space.bins[chunk]);
}

template <class FrontEnd>
void frame_renderer_t::run_bands(const triangle_run_t* runs, uint32_t run_count, const texture_t& texture,
                                 FrontEnd&& front_end) {
    next_band_.store(0, std::memory_order_relaxed);
    band_pixels_.store(0, std::memory_order_relaxed);
    pool_->run([&](uint32_t worker) {
        front_end(worker);
        draw_bands(runs, run_count, texture);
    });
    for (uint32_t r = 0; r < run_count; ++r) counters_.triangle_count += runs[r].count;
    counters_.pixel_count += band_pixels_.load(std::memory_order_relaxed);
}

void frame_renderer_t::draw_bands(const triangle_run_t* runs, uint32_t run_count, const texture_t& texture) {
    uint32_t pixels = 0;
    for (uint32_t band = next_band_.fetch_add(1, std::memory_order_relaxed); band < bands_.count();
         band = next_band_.fetch_add(1, std::memory_order_relaxed)) {
        const row_range_t rows = bands_.rows_of(band);
        row_rasteriser_t rasteriser(target_, state_, rows.begin, rows.end);
        for (uint32_t r = 0; r < run_count; ++r) {
            const triangle_run_t& run = runs[r];
            const band_bins_t& bins = *run.bins;
            for (uint32_t k = bins.first[band]; k < bins.first[size_t{band} + 1]; ++k) {
                const queued_triangle_t& t = run.triangles[bins.entries[k]];
                pixels += rasteriser.draw(run.vertices[t.top], run.vertices[t.middle], run.vertices[t.bottom],
                                          t.middle_is_left, texture);
            }
        }
    }
    band_pixels_.fetch_add(pixels, std::memory_order_relaxed);
}
