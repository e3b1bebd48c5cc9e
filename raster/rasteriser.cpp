// Triangle filling: two halves of rows between the long edge and a short edge, one span per row.
#include "raster/rasteriser.h"

#include <algorithm>
#include <cmath>

#include "math/nearest.h"
#include "raster/span_chain.h"
#include "raster/span_fill.h"
#include "surfaces/pixel_blend.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"

namespace {

// Columns left of the framebuffer are stepped one by one up to this many, so visible pixels
// get exactly the values of a full walk; spans reaching further out (absurd coordinates) jump.
constexpr double exact_column_limit = 8192.0;

// nearest_float without a library call: adding and taking away 2^23 (with v's sign) rounds
// to an integer in the current mode, ties to even; magnitudes of 2^23 and more (and NaN and
// the infinities) are integers already and pass through. The sign of a zero result is v's,
// as nearbyint gives it.
float round_even(float v) {
    if (!(std::fabs(v) < 8388608.0f)) return v;
    const float big = std::copysign(8388608.0f, v);
    return std::copysign((v + big) - big, v);
}

// A nearest() result as the unsigned coordinate draw_pixel expects: negative values become
// large numbers (two's complement) and fail its bounds test, as do NaN and huge values.
uint32_t as_pixel_coordinate(float v) {
    const float r = round_even(v);
    if (!(r >= -2147483648.0f && r < 2147483648.0f)) return UINT32_MAX;
    return static_cast<uint32_t>(static_cast<int32_t>(r));
}

// Steps the span's running values n pixels along; n is a whole number held in a double
// (see edge_t::advance).
void advance_span(interpolants_t& s, const interpolants_t& d, double n) {
    if (n <= exact_column_limit) {
        // The same serial additions as stepping n times, taken a run at a time.
        const auto count = static_cast<int64_t>(n);
        for (int i = 0; i < interpolant::count; ++i) s[i] = span_chain::skip(s[i], d[i], count);
        return;
    }
    s = jumped(s, d, n);
}

// Step 2 of a span: the values at its first sample xs, half a pixel right of the left edge.
interpolants_t start_values(const gradients_t& g, const edge_t& left, float xs) {
    return moved(left.values, g.d_dx, xs - left.x);
}

// The filled-span prologue of draw_span: start values at the first sample, then the row's
// visible pixels. False when the span touches no pixel of the framebuffer.
bool visible_span(const screen_t& screen, const gradients_t& g, const edge_t& left, const edge_t& right, int32_t y,
                  span_row_t& row) {
    if (y < 0 || static_cast<uint32_t>(y) >= screen.height || screen.framebuffer == nullptr ||
        screen.zbuffer == nullptr) {
        return false;
    }
    const float xs = left.x + 0.5f;
    const float xe = right.x + 0.5f;
    // Column numbers are whole floats compared in double, so infinite or 1e30-wide spans
    // need no integer conversion until they are clamped to the row. A NaN end has no
    // nearest integer: such a span covers no pixel (every comparison below fails).
    const double x_first = round_even(xs);
    const double x_last = round_even(xe - 1.0f);
    if (!(x_last >= x_first) || !(x_last >= 0.0)) return false;
    if (!(x_first < static_cast<double>(screen.width))) return false;

    interpolants_t s = start_values(g, left, xs);
    int64_t x_begin = 0;
    if (x_first < 0.0) {
        advance_span(s, g.d_dx, -x_first);  // the pixels left of the row are stepped, not drawn
    } else {
        x_begin = static_cast<int64_t>(x_first);
    }
    const int64_t x_end = static_cast<int64_t>(std::min(x_last, static_cast<double>(screen.width) - 1.0));
    const size_t offset = static_cast<size_t>(y) * screen.width + static_cast<size_t>(x_begin);
    row.pixels = screen.framebuffer + offset * 4;
    row.depth = screen.zbuffer + offset;
    row.count = x_end - x_begin + 1;
    row.start = s;
    return true;
}

// The pixels of row y's span, drawn; returns how many were written (wireframe ends are not counted).
uint32_t span_pixels(screen_t& screen, const gradients_t& g, const edge_t& left, const edge_t& right, int32_t y,
                     const texture_t& texture) {
    if (screen.wireframe != 0) {
        // Both ends take the start's colour and shade; no depth test, no count.
        const float xs = left.x + 0.5f;
        const float xe = right.x + 0.5f;
        const interpolants_t s = start_values(g, left, xs);
        const uint8_t a = pixel_channel_byte(s[interpolant::alpha]);
        const uint8_t r = pixel_channel_byte(s[interpolant::red]);
        const uint8_t gr = pixel_channel_byte(s[interpolant::green]);
        const uint8_t b = pixel_channel_byte(s[interpolant::blue]);
        const float shade = s[interpolant::shade];
        const auto row = static_cast<uint32_t>(y);
        screen.draw_pixel(as_pixel_coordinate(xs), row, a, r, gr, b, shade);
        screen.draw_pixel(as_pixel_coordinate(xe), row, a, r, gr, b, shade);
        return 0;
    }
    span_row_t row;
    if (!visible_span(screen, g, left, right, y, row)) return 0;
    if (screen.textured != 0) return fill_textured_rows(&row, 1, g.d_dx, texture);
    return fill_vertex_colour_rows(&row, 1, g.d_dx);
}

// The framebuffer rows a walk may draw, [begin, end), and the pixels it wrote there.
struct row_window_t {
    int64_t begin = 0;
    int64_t end = 0;
    uint32_t pixels = 0;
};

row_window_t whole_framebuffer(const screen_t& screen) { return {0, static_cast<int64_t>(screen.height), 0}; }

// One half of a triangle, drawn only in the window's rows. The walk from the half's first row
// is the one over the whole framebuffer: rows above the framebuffer are advanced over as
// there, and the framebuffer's rows above the window are stepped one by one without drawing,
// so the window's first row starts with exactly the values of the full walk.
void walk_half(screen_t& screen, const gradients_t& g, edge_t& long_edge, edge_t& short_edge, int32_t middle_is_left,
               const texture_t& texture, row_window_t& window) {
    edge_t& left = middle_is_left != 0 ? short_edge : long_edge;
    edge_t& right = middle_is_left != 0 ? long_edge : short_edge;

    // Row numbers are whole floats compared in double, as in draw_span; NaN gives no rows.
    const double first = round_even(short_edge.y);
    const double last = static_cast<double>(round_even(short_edge.y_end)) - 1.0;
    if (!(last >= first)) return;

    // Rows above the framebuffer draw nothing but still move both edges, so the visible
    // rows (and the long edge carried into the lower half) see the values of a full walk.
    int64_t y = 0;
    if (first < 0.0) {
        const double above = std::min(last, -1.0) - first + 1.0;
        left.advance(above);
        right.advance(above);
        if (last < 0.0) return;
    } else {
        if (!(first < static_cast<double>(window.end))) return;
        y = static_cast<int64_t>(first);
    }
    // Rows below the window are not walked at all: they cannot touch a pixel of it, and the
    // lower half, which inherits the long edge, lies entirely below them.
    const auto y_last = static_cast<int64_t>(std::min(last, static_cast<double>(window.end) - 1.0));
    for (; y < window.begin && y <= y_last; ++y) {
        left.step();
        right.step();
    }
    if (screen.wireframe != 0) {
        for (; y <= y_last; ++y) {
            window.pixels += span_pixels(screen, g, left, right, static_cast<int32_t>(y), texture);
            left.step();
            right.step();
        }
        return;
    }
    // Filled rows: the rows' spans are gathered a few at a time and filled together (they are
    // different rows, so the order in which their pixels are written does not matter).
    const bool textured = screen.textured != 0;
    const auto fill = [&](const span_row_t* rows, int count) {
        return textured ? fill_textured_rows(rows, count, g.d_dx, texture)
                        : fill_vertex_colour_rows(rows, count, g.d_dx);
    };
    span_row_t rows[span_batch_rows];
    int batched = 0;
    for (; y <= y_last; ++y) {
        if (visible_span(screen, g, left, right, static_cast<int32_t>(y), rows[batched])) ++batched;
        if (batched == span_batch_rows) {
            window.pixels += fill(rows, batched);
            batched = 0;
        }
        left.step();
        right.step();
    }
    if (batched != 0) window.pixels += fill(rows, batched);
}

uint32_t walk_triangle(screen_t& screen, const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                       int32_t middle_is_left, const texture_t& texture, row_window_t window) {
    const gradients_t gradients(top, middle, bottom);
    edge_t long_edge(gradients, top, bottom, 0);
    edge_t upper_edge(gradients, top, middle, 0);
    edge_t lower_edge(gradients, middle, bottom, 1);
    walk_half(screen, gradients, long_edge, upper_edge, middle_is_left, texture, window);
    walk_half(screen, gradients, long_edge, lower_edge, middle_is_left, texture, window);
    return window.pixels;
}

}  // namespace

void draw_span(screen_t& screen, const gradients_t& g, const edge_t& left, const edge_t& right, int32_t y,
               const texture_t& texture) {
    screen.pixel_count += span_pixels(screen, g, left, right, y, texture);
}

void draw_scanlines(screen_t& screen, const gradients_t& g, edge_t& long_edge, edge_t& short_edge,
                    int32_t middle_is_left, const texture_t& texture) {
    row_window_t window = whole_framebuffer(screen);
    walk_half(screen, g, long_edge, short_edge, middle_is_left, texture, window);
    screen.pixel_count += window.pixels;
}

uint32_t rasterise_triangle_rows(screen_t& screen, const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                                 int32_t middle_is_left, const texture_t& texture, int32_t row_begin, int32_t row_end) {
    const row_window_t window{std::max<int64_t>(row_begin, 0), std::min<int64_t>(row_end, screen.height), 0};
    return walk_triangle(screen, top, middle, bottom, middle_is_left, texture, window);
}

void rasterise_triangle(screen_t& screen, const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                        int32_t middle_is_left, const texture_t& texture) {
    screen.pixel_count +=
        walk_triangle(screen, top, middle, bottom, middle_is_left, texture, whole_framebuffer(screen));
    ++screen.triangle_count;
}
