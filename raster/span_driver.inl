// The span driver of the wide paths, written once: the rows of a batch stepped side by side, a lane per row, laid out
// a block of each row at a time for the pixel kernels, and the two entry points of a path.
//
// Each instruction-set file (span_fill_sse2.cpp, span_fill_avx2.cpp, span_fill_avx512.cpp)
// includes this file inside its own namespace, after the headers below and after defining, in
// an unnamed namespace there:
// - `lanes`, the table of lane operations of span_lanes.h, with the ones the driver adds:
//   unpack_low, unpack_high and shuffle<order> (the in-lane steps of a transpose, on each
//   128-bit lane of a register), splat_eights (lanes 8j .. 8j + 7 all values[j]), store_runs
//   (see block_chains::next) and the partial loads and stores of a run of lanes from lane 0
//   (loadu_part, storeu_part and their _i forms for pixels);
// - `layout`, the path's choices for the textured kernel, each with the measurement that made
//   it: texel_pass, the lanes of one kernel pass (`lanes`, or lane_pair<lanes>), and
//   overlap_texel_groups (see texel_blocks).
// So every function here is compiled once per instruction set, under that set's name, and
// none of them has external linkage but the two entry points at the end.
//
// One layout serves every path and both modes. Four pixels of each of several rows per
// register, stepped as (red, green, blue, alpha) and (z, shade) records, was a second one for
// vertex colour; against these blocks (softcube_bench, one thread, 7 December 2026) it lost on
// SSE2 (BM_mode/0 279 against 242 us, BM_fill_size/50 91 against 78 us, BM_demo_frame 920
// against 842 us), on AVX2 (BM_fill_size/10 7.0 against 6.5 us, BM_fill_size/50 49 against
// 46 us, BM_mode/0 142 against 138 us) and, for the short rows it was kept for, on AVX-512
// (BM_fill_size/10 7.2 against 6.6 us), winning only 2 to 4 % on BM_sphere, within the noise,
// so it went.
//
// Needs: raster/span_fill_paths.h, raster/span_lanes.h (which brings <utility>).

namespace {

using f = lanes::f;
using i = lanes::i;
using m = lanes::m;
constexpr int width = lanes::width;

uint32_t drawn_in(int mask) { return static_cast<uint32_t>(__builtin_popcount(static_cast<unsigned>(mask))); }

// The in-lane steps of an 8 x 8 transpose, on each 128-bit lane: v_j holds pixel j with a
// chain per lane; afterwards, in each 128-bit lane, s_k holds the four pixels 0..3 of that
// lane's chain k (k < 4) and s_{k+4} its pixels 4..7.
void transpose_within_lanes(const f (&v)[8], f (&s)[8]) {
    const f t0 = lanes::unpack_low(v[0], v[1]);
    const f t1 = lanes::unpack_high(v[0], v[1]);
    const f t2 = lanes::unpack_low(v[2], v[3]);
    const f t3 = lanes::unpack_high(v[2], v[3]);
    const f t4 = lanes::unpack_low(v[4], v[5]);
    const f t5 = lanes::unpack_high(v[4], v[5]);
    const f t6 = lanes::unpack_low(v[6], v[7]);
    const f t7 = lanes::unpack_high(v[6], v[7]);
    s[0] = lanes::shuffle<0x44>(t0, t2);
    s[1] = lanes::shuffle<0xEE>(t0, t2);
    s[2] = lanes::shuffle<0x44>(t1, t3);
    s[3] = lanes::shuffle<0xEE>(t1, t3);
    s[4] = lanes::shuffle<0x44>(t4, t6);
    s[5] = lanes::shuffle<0xEE>(t4, t6);
    s[6] = lanes::shuffle<0x44>(t5, t7);
    s[7] = lanes::shuffle<0xEE>(t5, t7);
}

// Blocks: block_pixels pixels of one row per kernel pass. The chains of every row of a batch
// are stepped a lane per row, then transposed so that each row's values of a quantity lie side
// by side.

constexpr int32_t block_pixels = 16;

// Sixteen pixels of each row of a batch, quantity by quantity in interpolant order, so that a
// row's values for one pixel are block_pixels floats apart.
struct alignas(64) row_block_t {
    float v[span_batch_rows][interpolant::count][block_pixels];
};

// The chains of the first `quantities` values of every row of a batch: chain (q, k), quantity
// q of row k, is lane 8q + k of the registers laid end to end (lanes without a row step zeros
// that nobody reads). Each lane takes the same additions in the same order as the serial chain.
template <int quantities>
struct block_chains {
    static constexpr int chains = quantities * span_batch_rows;
    static constexpr int registers = (chains + width - 1) / width;
    f state[registers];
    f step[registers];

    block_chains(const span_row_t* rows, int row_count, const interpolants_t& steps) {
        alignas(64) float starts[registers * width] = {};
        for (int k = 0; k < row_count; ++k) {
            for (int q = 0; q < quantities; ++q) starts[q * span_batch_rows + k] = rows[k].start.at[q];
        }
        float increments[registers * width / span_batch_rows + 1] = {};
        for (int q = 0; q < quantities; ++q) increments[q] = steps.at[q];
        for (int r = 0; r < registers; ++r) {
            state[r] = lanes::load(starts + r * width);
            step[r] = lanes::splat_eights(increments + r * width / span_batch_rows);
        }
    }

    // The next block_pixels pixels: serial additions, and after each eight of them the 8 x 8
    // transposes. lanes::store_runs(s_k, s_{k+4}, run) puts the eight pixels of the chain of
    // lane 4h + k of the register (for each 128-bit lane h) at run(h), skipping a null run.
    // Each register's chains are placed at compile time (r is a template argument).
    void next(row_block_t& block) {
        [&]<int... r>(std::integer_sequence<int, r...>) { (next_of<r>(block), ...); }
        (std::make_integer_sequence<int, registers>{});
    }

    template <int r>
    void next_of(row_block_t& block) {
        f x = state[r];
        for (int at = 0; at < block_pixels; at += 8) {
            f v[8];
            for (int j = 0; j < 8; ++j) {
                v[j] = x;
                x = lanes::add(x, step[r]);
            }
            f s[8];
            transpose_within_lanes(v, s);
            for (int k = 0; k < 4; ++k) {
                lanes::store_runs(s[k], s[k + 4], [&](int h) -> float* {
                    const int chain = r * width + 4 * h + k;
                    const int q = chain / span_batch_rows;
                    return q < quantities ? block.v[chain % span_batch_rows][q] + at : nullptr;
                });
            }
        }
        state[r] = x;
    }
};

// How far ahead of the pixel being drawn a row's depth and pixel lines are fetched.
constexpr int64_t prefetch_ahead = 2 * block_pixels;

// The lines of the 32 bytes of depths and of pixels from at onwards: every line a run of
// pixels touches is asked for when its steps of 8 pixels are.
void prefetch_pixels(const span_row_t& row, int64_t at) {
    __builtin_prefetch(row.depth + at, 1, 3);
    __builtin_prefetch(row.pixels + at * 4, 1, 3);
}

// The rows of one batch a block at a time: the chains of the first `quantities` values of
// every row stepped together, then draw_block(pixels, depth, values, left) for each row that
// still has pixels, with its block's values (quantity q at values[q * block_pixels]) and the
// pixels left in the row (more than 0; only the first block_pixels of them are drawn), and
// at the end draw_block.finish() for the work it keeps pending. Returns the pixels drawn.
template <int quantities, class DrawBlock>
uint32_t fill_in_blocks(const span_row_t* rows, int row_count, const interpolants_t& steps, DrawBlock&& draw_block) {
    int64_t longest = 0;
    for (int k = 0; k < row_count; ++k) longest = rows[k].count > longest ? rows[k].count : longest;
    block_chains<quantities> chains(rows, row_count, steps);
    // The rows' depths and pixels are seldom in the cache: each row asks for its lines
    // prefetch_ahead pixels before it reaches them, so the rows' misses overlap.
    for (int k = 0; k < row_count; ++k) {
        for (int64_t at = 0; at < prefetch_ahead && at < rows[k].count; at += 8) prefetch_pixels(rows[k], at);
    }
    row_block_t block;
    uint32_t drawn = 0;
    for (int64_t done = 0; done < longest; done += block_pixels) {
        chains.next(block);
        for (int k = 0; k < row_count; ++k) {
            const int64_t left = rows[k].count - done;
            if (left <= 0) continue;
            if (left > prefetch_ahead) {
                prefetch_pixels(rows[k], done + prefetch_ahead);
                prefetch_pixels(rows[k], done + prefetch_ahead + 8);
            }
            drawn += draw_block(rows[k].pixels + done * 4, rows[k].depth + done, &block.v[k][0][0], left);
        }
    }
    draw_block.finish();
    return drawn;
}

// Up to block_pixels vertex-colour pixels of one row from their values in a block, a register
// at a time, `left` of them being the row's.
struct colour_blocks {
    uint32_t operator()(uint8_t* pixels, float* depth, const float* values, int64_t left) const {
        uint32_t drawn = 0;
        for (int at = 0; at < block_pixels && at < left; at += width) {
            const auto quantity = [&](int q) { return lanes::load(values + q * block_pixels + at); };
            const f red = quantity(interpolant::red);
            const f green = quantity(interpolant::green);
            const f blue = quantity(interpolant::blue);
            const f alpha = quantity(interpolant::alpha);
            const f z = quantity(interpolant::z);
            const f shade = quantity(interpolant::shade);
            float* d_at = depth + at;
            uint8_t* p_at = pixels + static_cast<size_t>(at) * 4;
            if (left - at >= width) {
                f d = lanes::loadu(d_at);
                i c = lanes::loadu_i(p_at);
                const int mask = blend_vertex_colour_lanes<lanes>(lanes::lanes_below(width), red, green, blue, alpha, z,
                                                                  shade, d, c);
                if (mask == 0) continue;
                lanes::storeu(d_at, d);
                lanes::storeu_i(p_at, c);
                drawn += drawn_in(mask);
            } else {
                const m valid = lanes::lanes_below(static_cast<int>(left - at));
                f d = lanes::loadu_part(d_at, valid);
                i c = lanes::loadu_part_i(p_at, valid);
                const int mask = blend_vertex_colour_lanes<lanes>(valid, red, green, blue, alpha, z, shade, d, c);
                if (mask == 0) continue;
                lanes::storeu_part(d_at, valid, d);
                lanes::storeu_part_i(p_at, valid, c);
                drawn += drawn_in(mask);
            }
        }
        return drawn;
    }
    void finish() const {}
};

// Textured blocks, a group of Pass::width pixels per kernel pass (Pass is `lanes`, or its
// registers taken two at a time). With overlap, a group's texels are fetched before the
// previous group is blended, so the fetch's wait is spent on that blend; the two groups are
// of different rows, or of one row at different pixels, so neither touches what the other
// reads or writes, and each is still blended exactly as on its own.
template <class Pass, bool overlap>
struct texel_blocks {
    const texel_sampler_t& sampler;
    texel_group_t<Pass> group{};
    enum class pending_t { none, whole, part } pending = pending_t::none;

    uint32_t operator()(uint8_t* pixels, float* depth, const float* values, int64_t left) {
        uint32_t drawn = 0;
        for (int at = 0; at < block_pixels && at < left; at += Pass::width) {
            texel_group_t<Pass> next;
            uint8_t* p_at = pixels + static_cast<size_t>(at) * 4;
            const bool whole = left - at >= Pass::width;
            const int mask =
                whole ? start_texel_group<Pass>(next, p_at, depth + at, values + at, block_pixels,
                                                Pass::lanes_below(Pass::width), sampler)
                      : start_texel_group<Pass, true>(next, p_at, depth + at, values + at, block_pixels,
                                                      Pass::lanes_below(static_cast<int>(left - at)), sampler);
            if constexpr (overlap) {
                finish();
                if (mask == 0) continue;
                group = next;
                pending = whole ? pending_t::whole : pending_t::part;
            } else {
                if (mask == 0) continue;
                if (whole) {
                    finish_texel_group<Pass>(next);
                } else {
                    finish_texel_group<Pass, true>(next);
                }
            }
            drawn += drawn_in(mask);
        }
        return drawn;
    }

    void finish() {
        if (pending == pending_t::whole) finish_texel_group<Pass>(group);
        if (pending == pending_t::part) finish_texel_group<Pass, true>(group);
        pending = pending_t::none;
    }
};

}  // namespace

// The path's entry points.

uint32_t fill_vertex_colour_rows(const span_row_t* rows, int row_count, const interpolants_t& steps) {
    return fill_in_blocks<interpolant::untextured_count>(rows, row_count, steps, colour_blocks{});
}

uint32_t fill_textured_rows(const span_row_t* rows, int row_count, const interpolants_t& steps,
                            const texel_sampler_t& sampler) {
    return fill_in_blocks<interpolant::count>(rows, row_count, steps,
                                              texel_blocks<layout::texel_pass, layout::overlap_texel_groups>{sampler});
}
