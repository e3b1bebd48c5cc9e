// The frame renderer: triangles drawn as the front end sorts them, in a band per thread, or queued for bands.
#include "raster/frame_renderer.h"

#include <algorithm>

#include "raster/clip.h"
#include "raster/pipeline.h"
#include "surfaces/draw_state.h"
#include "surfaces/frame_counters.h"
#include "surfaces/render_target.h"

namespace {

// What drawing costs, in the units the bands are cut by (about a vertex-colour pixel's fill):
// a triangle's set-up in a band, a row's walk and span start, and a pixel of each mode.
// Rough figures from one thread's profiles (the sphere's small triangles, the demo's large
// ones, textured rows): only their ratios matter, and only to how evenly bands share out.
constexpr float triangle_cost = 64.0f;
constexpr float row_cost = 8.0f;
constexpr float vertex_colour_pixel_cost = 1.0f;
constexpr float textured_pixel_cost = 4.0f;

// A triangle of at most this many rows in a band has its cost noted at its first one.
constexpr int32_t few_rows = 8;

// Bands per thread when they are cut by cost: each holds about the same work, so a few per
// thread are enough for threads that finish early to even out what the costs missed.
constexpr uint32_t cost_bands_per_thread = 4;

// Up to this many threads, a mesh of more than one chunk is drawn with every thread running
// the whole front end (culling and sorting each triangle; the vertices are still mapped in
// shares) and drawing its own band of rows as the triangles come, instead of queueing them
// for bands: nothing is stored, sorted into bins or read back from memory. On two cores,
// BM_sphere took 3.83 ms and BM_draw_model_100k_triangles 2.23 ms so, against 4.35 and 2.64 ms
// queued (5.4 and 2.9 ms on one thread); turning away the triangles that cannot reach a band
// before their corners are sorted (own_band_t::may_reach) took them to 3.51 and 1.95 ms. But
// each thread repeats part of the front end, a quarter of a one-thread frame of small
// triangles, while the queue's extra work is shared out: from one thread's profile, the own
// bands stop paying beyond about two threads.
constexpr uint32_t most_threads_for_own_bands = 2;

// A frame whose last one cost less than this is drawn by the calling thread alone: handing it
// to the workers would take longer than drawing it (a few microseconds).
constexpr float shared_frame_cost = 8192.0f;

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

// A chunk's triangles queued for the bands and counted in the bins of the bands they reach:
// by index into the mapped vertices on the direct route, as new corners in the chunk's batch
// on the clipper's route.
struct queue_t {
    queued_triangle_t* out;
    triangle_batch_t& batch;
    band_bins_t& bins;
    const band_layout_t& bands;
    uint32_t height;
    // The span rule without lines: a triangle that walks no row is counted but put in no band.
    // Most triangles of a finely divided mesh are such slivers, and a band would only set them
    // up to find nothing to draw.
    bool rowless_draws_nothing;
    uint32_t count = 0;

    void take(const vertex_t* v, uint32_t top, uint32_t middle, uint32_t bottom, int32_t middle_is_left) {
        queued_triangle_t& q = out[count++];
        q.top = top;
        q.middle = middle;
        q.bottom = bottom;
        q.middle_is_left = middle_is_left;
        const float top_y = v[top].y();
        const float bottom_y = v[bottom].y();
        q.rows = rowless_draws_nothing && walks_no_row(top_y, bottom_y)
                     ? row_range_t{}
                     : reached_rows(top_y, v[middle].y(), bottom_y, height);
        bins.count(bands, q.rows);
    }
    void take_corners(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom, int32_t middle_is_left) {
        bins.count(bands, batch.add(top, middle, bottom, middle_is_left, height).rows);
    }
};

// What each of a band's rows cost to draw, noted as its triangles are drawn, for cutting the
// next frame's bands: a triangle of a few rows as a whole at its first row, from the pixels it
// wrote; a taller one spread evenly over its rows, from its width (a span is taken as half of
// it, the mean width of a triangle with a horizontal side; NaN and beyond the framebuffer: the
// framebuffer's width), as a difference added at its first row and taken away after its last.
// Only the band's rows are written, so bands drawn at once share nothing.
class band_cost_notes_t {
public:
    band_cost_notes_t(float* cost, float* spread, row_range_t band, const draw_state_t& state, uint32_t width)
        : cost_(cost),
          spread_(spread),
          band_(band),
          pixel_cost_(state.wireframe != 0  ? 0.0f
                      : state.textured != 0 ? textured_pixel_cost
                                            : vertex_colour_pixel_cost),
          widest_(static_cast<float>(width)) {
        std::fill(cost_ + band.begin, cost_ + band.end, 0.0f);
        std::fill(spread_ + band.begin, spread_ + band.end, 0.0f);
    }

    // A triangle reaching `rows` (which meet the band's) that wrote `written` pixels in it.
    void note(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom, row_range_t rows, uint32_t written) {
        const int32_t first = std::max(rows.begin, band_.begin);
        const int32_t end = std::min(rows.end, band_.end);
        if (end - first <= few_rows) {
            cost_[first] +=
                triangle_cost + static_cast<float>(end - first) * row_cost + static_cast<float>(written) * pixel_cost_;
            return;
        }
        float span = std::max({top.x(), middle.x(), bottom.x()}) - std::min({top.x(), middle.x(), bottom.x()});
        if (!(span <= widest_)) span = widest_;
        const float per_row = row_cost + 0.5f * span * pixel_cost_;
        cost_[first] += triangle_cost;
        spread_[first] += per_row;
        *(end < band_.end ? spread_ + end : &past_the_band_) -= per_row;
    }

    // The spread costs added into the rows, once the band is drawn.
    void finish() {
        float sum = 0.0f;
        for (int32_t y = band_.begin; y < band_.end; ++y) {
            sum += spread_[y];
            cost_[y] += std::max(sum, 0.0f);
        }
    }

private:
    float* cost_;
    float* spread_;
    row_range_t band_;
    float pixel_cost_;
    float widest_;
    float past_the_band_ = 0.0f;
};

// One thread's own band of a frame whose every thread runs the whole front end: each triangle
// is counted, and drawn when the rows it can reach meet the band's.
struct own_band_t {
    row_rasteriser_t& rasteriser;
    const texture_t& texture;
    band_cost_notes_t& notes;
    row_range_t band;
    uint32_t height;
    bool rowless_draws_nothing;  // as in queue_t
    uint32_t triangles = 0;
    uint32_t pixels = 0;

    // False only when the rows the triangle can reach (reached_rows: nearest(y) of its highest
    // corner to nearest(y) + 1 of its lowest) cannot meet the band's: every corner more than
    // 2.5 rows above the band's first row, or at least half a row below its last. NaN never
    // compares, so a triangle with a NaN corner goes on to the exact test.
    bool may_reach(float y0, float y1, float y2) const {
        const float above = static_cast<float>(band.begin) - 2.5f;
        const float below = static_cast<float>(band.end) + 0.5f;
        return !((y0 < above && y1 < above && y2 < above) || (y0 >= below && y1 >= below && y2 >= below));
    }
    void count_unreached() { ++triangles; }
    void take(const vertex_t* v, uint32_t top, uint32_t middle, uint32_t bottom, int32_t middle_is_left) {
        take_corners(v[top], v[middle], v[bottom], middle_is_left);
    }
    void take_corners(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom, int32_t middle_is_left) {
        ++triangles;
        const row_range_t rows = reached_rows(top.y(), middle.y(), bottom.y(), height);
        if (rows.empty() || rows.end <= band.begin || rows.begin >= band.end) return;
        if (rowless_draws_nothing && walks_no_row(top.y(), bottom.y())) return;
        const uint32_t written = rasteriser.draw(top, middle, bottom, middle_is_left, texture);
        pixels += written;
        notes.note(top, middle, bottom, rows, written);
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
      thread_count_(schedule.pool != nullptr ? schedule.pool->workers() : 1),
      band_rows_(schedule.band_rows),
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
    frame_space_t& space = *space_;
    const bool use_pool = cut_bands(space, false);
    triangle_run_t run = space.loose.run();
    bin_by_band(run, space.bands, space.loose_bins);
    run_bands(&run, 1, *loose_texture_, use_pool, [](uint32_t) {});
    space.loose.clear();
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
    // A mesh of one chunk, vertices and slots, is prepared by the calling thread: no share of
    // it would be bigger than the hand-over.
    const bool shared = chunks > 1 || mesh.vertex_count > static_cast<int32_t>(mesh_front_end_t::chunk_slots);
    if (shared && band_rows_ == 0 && thread_count_ <= most_threads_for_own_bands) {
        draw_mesh_in_own_bands(front, mesh.vertex_count, texture);
        return;
    }
    const bool use_pool = cut_bands(space, shared);
    if (!shared) {
        front.map_vertices(0, mesh.vertex_count);
        for (uint32_t c = 0; c < chunks; ++c) queue_chunk(front, c);
        run_bands(space.runs.data(), chunks, texture, use_pool, [](uint32_t) {});
        return;
    }
    // Vertices in equal shares, then chunks of slots as threads come free (clipping makes
    // them uneven), each sorted by band as it is queued; a barrier after each phase.
    next_chunk_.store(0, std::memory_order_relaxed);
    run_bands(space.runs.data(), chunks, texture, true, [&](uint32_t worker) {
        map_share(front, mesh.vertex_count, worker);
        pool_->sync();
        for (uint32_t c = next_chunk_.fetch_add(1, std::memory_order_relaxed); c < chunks;
             c = next_chunk_.fetch_add(1, std::memory_order_relaxed)) {
            queue_chunk(front, c);
        }
        pool_->sync();
    });
}

void frame_renderer_t::map_share(const mesh_front_end_t& front, int32_t vertex_count, uint32_t worker) const {
    const int64_t n = vertex_count;
    front.map_vertices(static_cast<int32_t>(n * worker / thread_count_),
                       static_cast<int32_t>(n * (worker + 1) / thread_count_));
}

void frame_renderer_t::grow_row_costs(frame_space_t& space) const {
    if (space.row_cost.size() < target_.height) {
        space.row_cost.resize(target_.height);
        space.row_cost_spread.resize(target_.height);
    }
}

bool frame_renderer_t::rowless_draws_nothing() const {
    return state_.edges == edge_rule_t::spans && state_.lines == line_mode_t::none;
}

void frame_renderer_t::draw_mesh_in_own_bands(const mesh_front_end_t& front, int32_t vertex_count,
                                              const texture_t& texture) {
    frame_space_t& space = *space_;
    const uint32_t height = target_.height;
    grow_row_costs(space);
    if (space.row_cost_height == height) {
        space.bands.cut_by_cost(space.row_cost.data(), height, thread_count_);
    } else {
        space.bands.cut_by_height(height, (height + thread_count_ - 1) / thread_count_, 1);
    }
    const uint32_t chunks = front.chunks();
    uint32_t triangles = 0;
    band_pixels_.store(0, std::memory_order_relaxed);
    pool_->run([&](uint32_t worker) {
        map_share(front, vertex_count, worker);
        pool_->sync();
        // A framebuffer of fewer rows than threads has fewer bands: the rest only count.
        const row_range_t band = worker < space.bands.count() ? space.bands.rows_of(worker) : row_range_t{};
        row_rasteriser_t rasteriser(target_, state_, band.begin, band.end);
        band_cost_notes_t notes(space.row_cost.data(), space.row_cost_spread.data(), band, state_, target_.width);
        own_band_t own{rasteriser, texture, notes, band, height, rowless_draws_nothing()};
        for (uint32_t c = 0; c < chunks; ++c) front.take_chunk(c, own);
        notes.finish();
        band_pixels_.fetch_add(own.pixels, std::memory_order_relaxed);
        if (worker == 0) triangles = own.triangles;
    });
    space.row_cost_height = height;
    counters_.triangle_count += triangles;
    counters_.pixel_count += band_pixels_.load(std::memory_order_relaxed);
}

bool frame_renderer_t::cut_bands(frame_space_t& space, bool shared_front_end) {
    const uint32_t height = target_.height;
    grow_row_costs(space);
    if (band_rows_ != 0) {
        space.bands.cut_by_height(height, band_rows_, thread_count_);
        return true;
    }
    if (space.row_cost_height != height) {
        space.bands.cut_by_height(height, 0, thread_count_);  // no costs yet: bands of equal height
        return true;
    }
    if (!shared_front_end) {
        float last = 0.0f;
        for (uint32_t r = 0; r < height; ++r) last += space.row_cost[r];
        if (last < shared_frame_cost) {
            space.bands.cut_by_height(height, height, 1);
            return false;
        }
    }
    space.bands.cut_by_cost(space.row_cost.data(), height, thread_count_ * cost_bands_per_thread);
    return true;
}

void frame_renderer_t::queue_chunk(const mesh_front_end_t& front, uint32_t chunk) {
    frame_space_t& space = *space_;
    band_bins_t& bins = space.bins[chunk];
    bins.start(space.bands);
    triangle_batch_t& batch = space.batches[chunk];
    batch.clear();
    queued_triangle_t* out = space.triangles.data() + size_t{chunk} * mesh_front_end_t::chunk_slots;
    queue_t queue{out, batch, bins, space.bands, target_.height, rowless_draws_nothing()};
    front.take_chunk(chunk, queue);
    triangle_run_t& run = space.runs[chunk];
    run = state_.clip_triangles != 0 ? batch.run() : triangle_run_t{space.vertices.data(), out, queue.count, nullptr};
    place_in_bins(run, space.bands, bins);
}

template <class FrontEnd>
void frame_renderer_t::run_bands(const triangle_run_t* runs, uint32_t run_count, const texture_t& texture,
                                 bool use_pool, FrontEnd&& front_end) {
    next_band_.store(0, std::memory_order_relaxed);
    band_pixels_.store(0, std::memory_order_relaxed);
    if (use_pool) {
        pool_->run([&](uint32_t worker) {
            front_end(worker);
            draw_bands(runs, run_count, texture);
        });
    } else {
        draw_bands(runs, run_count, texture);
    }
    space_->row_cost_height = target_.height;
    for (uint32_t r = 0; r < run_count; ++r) counters_.triangle_count += runs[r].count;
    counters_.pixel_count += band_pixels_.load(std::memory_order_relaxed);
}

void frame_renderer_t::draw_bands(const triangle_run_t* runs, uint32_t run_count, const texture_t& texture) {
    uint32_t pixels = 0;
    const uint32_t bands = space_->bands.count();
    for (uint32_t band = next_band_.fetch_add(1, std::memory_order_relaxed); band < bands;
         band = next_band_.fetch_add(1, std::memory_order_relaxed)) {
        pixels += draw_band(band, runs, run_count, texture);
    }
    band_pixels_.fetch_add(pixels, std::memory_order_relaxed);
}

uint32_t frame_renderer_t::draw_band(uint32_t band, const triangle_run_t* runs, uint32_t run_count,
                                     const texture_t& texture) {
    const row_range_t rows = space_->bands.rows_of(band);
    row_rasteriser_t rasteriser(target_, state_, rows.begin, rows.end);
    band_cost_notes_t notes(space_->row_cost.data(), space_->row_cost_spread.data(), rows, state_, target_.width);
    uint32_t pixels = 0;
    for (uint32_t r = 0; r < run_count; ++r) {
        const triangle_run_t& run = runs[r];
        const band_bins_t& bins = *run.bins;
        for (uint32_t k = bins.first[band]; k < bins.first[size_t{band} + 1]; ++k) {
            const queued_triangle_t& t = run.triangles[bins.entries[k]];
            const vertex_t& top = run.vertices[t.top];
            const vertex_t& middle = run.vertices[t.middle];
            const vertex_t& bottom = run.vertices[t.bottom];
            const uint32_t written = rasteriser.draw(top, middle, bottom, t.middle_is_left, texture);
            pixels += written;
            notes.note(top, middle, bottom, t.rows, written);
        }
    }
    notes.finish();
    return pixels;
}
