// frame_renderer_t: the one road from a frame's triangles to its pixels: front end, bands, counters.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "base/thread_pool.h"
#include "geometry/vertex.h"
#include "math/mat4.h"
#include "raster/frame_space.h"
#include "raster/mesh_front_end.h"
#include "raster/row_rasteriser.h"

struct draw_state_t;
struct frame_counters_t;
struct render_target_t;
struct texture_t;

// How a frame's work is shared among threads.
struct frame_schedule_t {
    base::thread_pool_t* pool = nullptr;  // none, or a pool of one thread: the calling thread alone
    // 0: bands of about equal work, cut from what each row cost in the last frame drawn with
    // the same frame_space_t (a few per thread); else bands of this many rows.
    uint32_t band_rows = 0;
};

// Takes a frame's triangles, a mesh's slots or triangles one at a time, through the front end
// (transform, clipping, culling, sorting the corners by y) and draws them into horizontal
// bands of the target, each band by one thread, with its triangles in submission order. So
// each pixel sees the same writes in the same order whatever the number of threads, bands
// share no pixel, and a band that starts inside a triangle walks its edges over the rows above
// without drawing (exactly, see edge_walker_t), so it starts with the values of a full walk:
// every picture, depth and counter is the same on any number of threads and bands.
//
// One thread is the same road with one band covering every row, whose triangles are drawn as
// the front end produces them: nothing is queued. Two threads drawing a mesh of more than one
// chunk take the same road each, with a band of their own: each maps its share of the
// vertices, then runs every chunk through the front end and draws what reaches its band (see
// most_threads_for_own_bands for why only up to two). With more, the front end queues each chunk
// of a mesh's slots (mesh_front_end_t) and sorts it by band as it goes (bin_by_band), a
// triangle stored once however many bands it crosses; a mesh of more than one chunk has its
// vertices and chunks shared among the threads too, chunks taken from a counter. Bands are
// taken from a counter as threads come free. They are cut so that each holds about the same
// work: as a band draws, it notes what each of its rows cost (a set-up per triangle, a fixed
// part and the span's pixels per row), and the next frame drawn with the same frame_space_t
// is cut from those costs. A frame whose last one cost too little to share out is drawn by
// the calling thread alone, in one band. Triangles handed over one at a time are queued
// until finish().
//
// The target, draw state and counters are used as they are when the triangles are drawn: with
// threads, finish() before changing the draw state between triangles. Several renderers may
// draw into different targets at once; a pool runs one renderer's job at a time.
class frame_renderer_t {
public:
    // The renderer keeps its arrays in `space` (see frame_space_t), or in one of its own made
    // when first needed (one thread drawing triangles one at a time needs none).
    frame_renderer_t(render_target_t& target, const draw_state_t& state, frame_counters_t& counters,
                     frame_schedule_t schedule = {});
    frame_renderer_t(render_target_t& target, const draw_state_t& state, frame_counters_t& counters,
                     frame_space_t& space, frame_schedule_t schedule = {});
    // Draws whatever is still queued.
    ~frame_renderer_t();
    frame_renderer_t(const frame_renderer_t&) = delete;
    frame_renderer_t& operator=(const frame_renderer_t&) = delete;

    // Every slot of the mesh, its corners transformed by the matrix (each vertex once) and
    // handed on as a, b, c; through the clipper (the whole fan of each triangle) when the draw
    // state's clip_triangles is set. Drawn and counted before it returns.
    void draw_mesh(const indexed_mesh_t& mesh, const mat4_t& matrix, const texture_t& texture);

    // One clip-space triangle through the pipeline, the clipper (its whole fan), or only when
    // every corner is inside the view volume (|x|, |y|, |z| <= |w|).
    void draw_triangle(const vertex_t& c1, const vertex_t& c2, const vertex_t& c3, const texture_t& texture);
    void clip_and_draw(const vertex_t& c1, const vertex_t& c2, const vertex_t& c3, const texture_t& texture);
    void draw_if_inside(const vertex_t& c1, const vertex_t& c2, const vertex_t& c3, const texture_t& texture);
    // One screen-space triangle, corners sorted (see rasterise_triangle in raster/rasteriser.h).
    void rasterise_triangle(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom, int32_t middle_is_left,
                            const texture_t& texture);

    // Draws and counts the triangles queued one at a time.
    void finish();

private:
    frame_renderer_t(render_target_t& target, const draw_state_t& state, frame_counters_t& counters,
                     frame_space_t* space, frame_schedule_t schedule);
    bool one_band() const { return thread_count_ == 1; }
    frame_space_t& space();
    // Cuts the frame's bands into space.bands. True when the pool draws them; false when the
    // calling thread draws the frame alone, in one band (with shared_front_end, never).
    bool cut_bands(frame_space_t& space, bool shared_front_end);
    // Worker `worker`'s equal share of the mesh's vertices transformed and mapped.
    void map_share(const mesh_front_end_t& front, int32_t vertex_count, uint32_t worker) const;
    // The space's row costs, one per row of the target (kept from frame to frame).
    void grow_row_costs(frame_space_t& space) const;
    // Under the span rule without lines, triangles that draw no row need no band.
    bool rowless_draws_nothing() const;
    // A mesh of more than one chunk on few threads: each thread maps its share of the
    // vertices, then runs every chunk through the front end, drawing into a band of its own.
    void draw_mesh_in_own_bands(const mesh_front_end_t& front, int32_t vertex_count, const texture_t& texture);
    // One chunk of the mesh's slots queued into its run and sorted by band.
    void queue_chunk(const mesh_front_end_t& front, uint32_t chunk);
    // front_end(worker) on every worker of one pool job, then the bands (on the calling
    // thread alone without the pool, front_end then doing nothing); then the counts.
    template <class FrontEnd>
    void run_bands(const triangle_run_t* runs, uint32_t run_count, const texture_t& texture, bool use_pool,
                   FrontEnd&& front_end);
    // Bands from the counter until none is left.
    void draw_bands(const triangle_run_t* runs, uint32_t run_count, const texture_t& texture);
    // One band's triangles, its rows' costs noted in the space; returns the pixels written.
    uint32_t draw_band(uint32_t band, const triangle_run_t* runs, uint32_t run_count, const texture_t& texture);

    render_target_t& target_;
    const draw_state_t& state_;
    frame_counters_t& counters_;
    frame_space_t* space_;
    std::unique_ptr<frame_space_t> own_space_;
    base::thread_pool_t* pool_;
    uint32_t thread_count_;
    uint32_t band_rows_;
    mat4_t viewport_;
    row_rasteriser_t whole_;  // the one band of a single thread
    const texture_t* loose_texture_ = nullptr;
    // Taken by every thread of a job: each on a cache line of its own.
    alignas(64) std::atomic<uint32_t> next_band_{0};
    alignas(64) std::atomic<uint32_t> next_chunk_{0};
    alignas(64) std::atomic<uint32_t> band_pixels_{0};
};
