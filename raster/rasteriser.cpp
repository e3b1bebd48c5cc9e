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

// Where row y's filled span meets the framebuffer; it depends on the edges' x alone.
struct span_columns_t {
    float xs = 0.0f;       // the first sample, half a pixel right of the left edge
    double x_first = 0.0;  // its column, possibly left of the framebuffer
    int64_t x_begin = 0;   // the first and last columns drawn
    int64_t x_end = 0;
};

namespace {

// Columns left of the framebuffer are stepped one by one up to this many, so visible pixels
// get exactly the values of a full walk; spans reaching further out (absurd coordinates) jump.
constexpr double exact_column_limit = 8192.0;

// A nearest() result as the unsigned coordinate draw_pixel expects: negative values become
// large numbers (two's complement) and fail its bounds test, as do NaN and huge values.
uint32_t as_pixel_coordinate(float v) {
    const float r = nearest_float(v);
    if (!(r >= -2147483648.0f && r < 2147483648.0f)) return UINT32_MAX;
    return static_cast<uint32_t>(static_cast<int32_t>(r));
}

// Steps the first n of the span's running values n_pixels along; n_pixels is a whole number
// held in a double (see edge_t::advance).
template <int n>
void advance_span(interpolants_t& s, const interpolants_t& d, double n_pixels) {
    if (n_pixels <= exact_column_limit) {
        // The same serial additions as stepping one pixel at a time, taken a run at a time.
        const auto count = static_cast<int64_t>(n_pixels);
        for (int i = 0; i < n; ++i) s[i] = span_chain::skip(s[i], d[i], count);
        return;
    }
    s = jumped(s, d, n_pixels);
}

// The value after `steps` serial additions of d: one by one for the few steps of a small
// triangle, a run at a time (the same bits) for the many rows above a band.
float chain_after(float v, float d, int64_t steps) {
    if (steps > 4) return span_chain::skip(v, d, steps);
    for (; steps > 0; --steps) v += d;
    return v;
}

// False when row y's filled span touches no pixel of the framebuffer.
bool span_columns(const screen_t& screen, const edge_t& left, const edge_t& right, int32_t y, span_columns_t& c) {
    if (y < 0 || static_cast<uint32_t>(y) >= screen.height || screen.framebuffer == nullptr ||
        screen.zbuffer == nullptr) {
        return false;
    }
    const float xs = left.x + 0.5f;
    const float xe = right.x + 0.5f;
    // Column numbers are whole floats compared in double, so infinite or 1e30-wide spans
    // need no integer conversion until they are clamped to the row. A NaN end has no
    // nearest integer: such a span covers no pixel (every comparison below fails).
    const double x_first = nearest_float(xs);
    const double x_last = nearest_float(xe - 1.0f);
    if (!(x_last >= x_first) || !(x_last >= 0.0)) return false;
    if (!(x_first < static_cast<double>(screen.width))) return false;
    c.xs = xs;
    c.x_first = x_first;
    c.x_begin = x_first < 0.0 ? 0 : static_cast<int64_t>(x_first);
    c.x_end = static_cast<int64_t>(std::min(x_last, static_cast<double>(screen.width) - 1.0));
    return true;
}

// The row's share of a fill: the first n values at the first sample (step 2 of a span),
// stepped over the columns left of the framebuffer, and the pixels it covers there.
template <int n>
void span_row(const screen_t& screen, const gradients_t& g, const interpolants_t& left_values, float left_x,
              const span_columns_t& c, int32_t y, span_row_t& row) {
    move_into<n>(row.start, left_values, g.d_dx, c.xs - left_x);
    if (c.x_first < 0.0) advance_span<n>(row.start, g.d_dx, -c.x_first);  // stepped, not drawn
    const size_t offset = static_cast<size_t>(y) * screen.width + static_cast<size_t>(c.x_begin);
    row.pixels = screen.framebuffer + offset * 4;
    row.depth = screen.zbuffer + offset;
    row.count = c.x_end - c.x_begin + 1;
}

// Both ends of row y's span in the colour and shade of its start; no depth test, no count.
template <int n>
void wireframe_ends(screen_t& screen, const gradients_t& g, const edge_t& left, const edge_t& right, int32_t y) {
    const float xs = left.x + 0.5f;
    const float xe = right.x + 0.5f;
    interpolants_t s;
    move_into<n>(s, left.values, g.d_dx, xs - left.x);
    const uint8_t a = pixel_channel_byte(s[interpolant::alpha]);
    const uint8_t r = pixel_channel_byte(s[interpolant::red]);
    const uint8_t gr = pixel_channel_byte(s[interpolant::green]);
    const uint8_t b = pixel_channel_byte(s[interpolant::blue]);
    const float shade = s[interpolant::shade];
    const auto row = static_cast<uint32_t>(y);
    screen.draw_pixel(as_pixel_coordinate(xs), row, a, r, gr, b, shade);
    screen.draw_pixel(as_pixel_coordinate(xe), row, a, r, gr, b, shade);
}

// A vertex-colour row of a few pixels, drawn pixel by pixel as the span rules are written: the
// rows of a dense mesh's small triangles mostly hold one or two pixels, where gathering them
// into a batch for the wide fills costs more than the pixels themselves.
constexpr int64_t short_row_pixels = 3;

// The most rows draw_small takes a triangle of.
constexpr int small_triangle_rows = 8;

uint32_t fill_short_row(const span_row_t& row, const interpolants_t& d) {
    interpolants_t v = row.start;
    uint32_t drawn = 0;
    for (int64_t i = 0; i < row.count; ++i) {
        const float z = v[interpolant::z];
        const float alpha = v[interpolant::alpha];
        // NaN depth or alpha passes: only a comparison that holds rejects the pixel.
        if (!(z >= row.depth[i]) && !(alpha >= 1.0f)) {
            row.depth[i] = z;
            blend_vertex_colour(row.pixels + i * 4, pixel_channel_byte(alpha), pixel_channel_byte(v[interpolant::red]),
                                pixel_channel_byte(v[interpolant::green]), pixel_channel_byte(v[interpolant::blue]),
                                v[interpolant::shade]);
            ++drawn;
        }
        v.step<interpolant::untextured_count>(d);
    }
    return drawn;
}

// The pixels of row y's span, drawn one row at a time; returns how many were written.
uint32_t span_pixels(screen_t& screen, const gradients_t& g, const edge_t& left, const edge_t& right, int32_t y,
                     const texture_t& texture) {
    if (screen.wireframe != 0) {
        wireframe_ends<interpolant::count>(screen, g, left, right, y);
        return 0;
    }
    span_columns_t c;
    if (!span_columns(screen, left, right, y, c)) return 0;
    span_row_t row;
    span_row<interpolant::count>(screen, g, left.values, left.x, c, y, row);
    if (screen.textured != 0) return fill_textured_rows(&row, 1, g.d_dx, texture);
    return fill_vertex_colour_rows(&row, 1, g.d_dx);
}

}  // namespace

row_rasteriser_t::row_rasteriser_t(screen_t& screen, const texture_t& texture, int32_t row_begin, int32_t row_end)
    : screen_(screen),
      texture_(texture),
      row_begin_(std::max<int64_t>(row_begin, 0)),
      row_end_(std::min<int64_t>(row_end, screen.height)) {
    // Whole floats up to 2^24 are exact, so the bounds below are never widened by rounding.
    constexpr int64_t exact = int64_t{1} << 24;
    if (screen.framebuffer != nullptr && screen.zbuffer != nullptr && screen.width > 0 && row_end_ > row_begin_ &&
        row_end_ <= exact) {
        small_row_begin_ = static_cast<float>(row_begin_);
        small_row_end_ = static_cast<float>(row_end_);
        small_x_limit_ = static_cast<float>(std::min<int64_t>(int64_t{screen.width} - 1, exact));
    }
}

uint32_t row_rasteriser_t::draw(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                                int32_t middle_is_left) {
    top_ = &top;
    middle_ = &middle;
    bottom_ = &bottom;
    middle_is_left_ = middle_is_left;
    made_ = false;
    pixels_ = 0;
    if (screen_.wireframe == 0) {
        if (screen_.textured != 0 ? draw_small<interpolant::count>() : draw_small<interpolant::untextured_count>()) {
            return pixels_;
        }
    }
    long_.begin(top, bottom, 0);
    upper_.begin(top, middle, 0);
    lower_.begin(middle, bottom, 1);
    if (screen_.textured != 0) {
        walk_half<interpolant::count>(upper_);
        walk_half<interpolant::count>(lower_);
    } else {
        walk_half<interpolant::untextured_count>(upper_);
        walk_half<interpolant::untextured_count>(lower_);
    }
    return pixels_;
}

uint32_t row_rasteriser_t::draw_half(const gradients_t& gradients, edge_t& long_edge, edge_t& short_edge,
                                     int32_t middle_is_left) {
    middle_is_left_ = middle_is_left;
    made_ = true;
    pixels_ = 0;
    gradients_ = gradients;
    long_.take(long_edge);
    upper_.take(short_edge);
    walk_half<interpolant::count>(upper_);
    long_edge = long_.edge;
    short_edge = upper_.edge;
    return pixels_;
}

void row_rasteriser_t::lazy_edge_t::begin(const vertex_t& from, const vertex_t& to, int index) {
    start = &from;
    end = &to;
    start_index = index;
    // The rows of a half come from its short edge's ends, needed before the edge is placed.
    edge.y = from.y();
    edge.y_end = to.y();
    behind = 0;
    placed = false;
    has_values = false;
}

void row_rasteriser_t::lazy_edge_t::take(const edge_t& made) {
    edge = made;
    behind = 0;
    placed = true;
    has_values = true;
}

void row_rasteriser_t::lazy_edge_t::place() {
    if (placed) return;
    edge.place(*start, *end);
    placed = true;
}

template <int n>
bool row_rasteriser_t::draw_small() {
    const vec4_t& p0 = top_->position;
    const vec4_t& p1 = middle_->position;
    const vec4_t& p2 = bottom_->position;
    const float r0 = nearest_float(p0.y);
    const float r1 = nearest_float(p1.y);
    const float r2 = nearest_float(p2.y);
    // Rows r0 .. r2 - 1 inside the window, the middle's row between (which also turns away
    // NaN), and every corner within the columns: then each edge's x stays within the corners'
    // columns up to rounding on every row it is walked (an edge is walked over no more rows
    // than its height), so every span that covers a column covers only columns 0 .. width - 1.
    if (!(r0 >= small_row_begin_ && r0 <= r1 && r1 <= r2 && r2 <= small_row_end_ &&
          r2 - r0 <= static_cast<float>(small_triangle_rows))) {
        return false;
    }
    if (!(p0.x >= 0.0f && p1.x >= 0.0f && p2.x >= 0.0f && p0.x <= small_x_limit_ && p1.x <= small_x_limit_ &&
          p2.x <= small_x_limit_)) {
        return false;
    }
    const auto row0 = static_cast<int32_t>(r0);
    const auto row1 = static_cast<int32_t>(r1);
    const auto row2 = static_cast<int32_t>(r2);
    if (row2 == row0) return true;

    // The x walk alone: the rows whose spans reach a pixel, with the left edge's x there
    // (plain fields: nothing is written before it is found).
    struct found_row_t {
        int32_t y;
        float left_x;
        float xs;
        float x_first;
        float x_last;
    };
    found_row_t found[small_triangle_rows];
    int found_count = 0;
    const bool short_is_left = middle_is_left_ != 0;
    // The edges' x steps, as edge_t::place makes them; a half without rows needs none.
    const float long_step = (p2.x - p0.x) / (p2.y - p0.y);
    const float upper_step = row1 > row0 ? (p1.x - p0.x) / (p1.y - p0.y) : 0.0f;
    float lower_step = 0.0f;
    float long_x = p0.x;
    float short_x = p0.x;
    float short_step = upper_step;
    for (int32_t y = row0; y < row2; ++y) {
        if (y == row1) {
            lower_step = (p2.x - p1.x) / (p2.y - p1.y);
            short_x = p1.x;
            short_step = lower_step;
        }
        const float left_x = short_is_left ? short_x : long_x;
        const float right_x = short_is_left ? long_x : short_x;
        const float xs = left_x + 0.5f;
        const float x_first = nearest_float(xs);
        const float x_last = nearest_float((right_x + 0.5f) - 1.0f);
        if (x_last >= x_first) {
            found_row_t& f = found[found_count++];
            f.y = y;
            f.left_x = left_x;
            f.xs = xs;
            f.x_first = x_first;
            f.x_last = x_last;
        }
        long_x += long_step;
        short_x += short_step;
    }
    if (found_count == 0) return true;

    // The left edge's values, stepped row by row up to each found row.
    gradients_.set_up<n>(*top_, *middle_, *bottom_);
    made_ = true;
    interpolants_t values;
    interpolants_t steps;
    int32_t at = -1;  // the row the values are on; none yet
    int batched = 0;
    for (int i = 0; i < found_count; ++i) {
        const found_row_t& f = found[i];
        const bool lower = short_is_left && f.y >= row1;
        if (at < 0 || (lower && at < row1)) {
            // The left edge starts here: the long or upper edge at the top, the lower edge at the middle.
            values = gradients_.vertex[lower ? 1 : 0];
            move_into<n>(steps, gradients_.d_dy, gradients_.d_dx,
                         lower ? lower_step : (short_is_left ? upper_step : long_step));
            at = lower ? row1 : row0;
        }
        for (; at < f.y; ++at) values.step<n>(steps);
        span_columns_t columns;
        columns.xs = f.xs;
        columns.x_first = f.x_first;
        columns.x_begin = static_cast<int64_t>(f.x_first);
        columns.x_end = static_cast<int64_t>(f.x_last);
        take_row<n>(columns, values, f.left_x, f.y, batched);
    }
    flush_rows(batched);
    return true;
}

template <int n>
void row_rasteriser_t::take_row(const span_columns_t& columns, const interpolants_t& left_values, float left_x,
                                int32_t y, int& batched) {
    span_row_t& row = rows_[batched];
    span_row<n>(screen_, gradients_, left_values, left_x, columns, y, row);
    if (screen_.textured == 0 && row.count <= short_row_pixels) {
        pixels_ += fill_short_row(row, gradients_.d_dx);
    } else if (++batched == span_batch_rows) {
        flush_rows(batched);
        batched = 0;
    }
}

void row_rasteriser_t::flush_rows(int batched) {
    if (batched == 0) return;
    pixels_ += screen_.textured != 0 ? fill_textured_rows(rows_, batched, gradients_.d_dx, texture_)
                                     : fill_vertex_colour_rows(rows_, batched, gradients_.d_dx);
}

template <int n>
void row_rasteriser_t::make_set_up(lazy_edge_t& left, lazy_edge_t& right) {
    gradients_.set_up<n>(*top_, *middle_, *bottom_);
    made_ = true;
    catch_up<n>(left);
    catch_up<n>(right);
}

template <int n>
void row_rasteriser_t::catch_up(lazy_edge_t& e) {
    if (e.has_values) return;
    e.edge.start_values<n>(gradients_, e.start_index);
    e.has_values = true;
    if (e.behind == 0) return;
    for (int i = 0; i < n; ++i) e.edge.values[i] = chain_after(e.edge.values[i], e.edge.steps[i], e.behind);
    e.behind = 0;
}

// rows single steps of the edge (both edges of a band that starts inside the triangle walk
// the rows above it), taken a run at a time.
template <int n>
void row_rasteriser_t::skip_rows(lazy_edge_t& e, int64_t rows) {
    e.edge.x = chain_after(e.edge.x, e.edge.x_step, rows);
    if (!e.has_values) {
        e.behind += rows;
        return;
    }
    for (int i = 0; i < n; ++i) e.edge.values[i] = chain_after(e.edge.values[i], e.edge.steps[i], rows);
}

template <int n>
void row_rasteriser_t::step(lazy_edge_t& e) {
    if (e.has_values) {
        e.edge.step<n>();
    } else {
        e.edge.x += e.edge.x_step;
        ++e.behind;
    }
}

// rows steps at once, as edge_t::advance takes them; a jump needs the values first.
template <int n>
void row_rasteriser_t::advance(lazy_edge_t& e, double rows) {
    if (rows <= edge_t::exact_step_limit) {
        skip_rows<n>(e, static_cast<int64_t>(rows));
        return;
    }
    if (!made_) {
        gradients_.set_up<n>(*top_, *middle_, *bottom_);
        made_ = true;
    }
    catch_up<n>(e);
    e.edge.advance(rows);
}

// One half of the triangle, drawn only in the window's rows. The walk from the half's first
// row is the one over the whole framebuffer: rows above the framebuffer are advanced over as
// there, and the framebuffer's rows above the window are stepped one by one without drawing,
// so the window's first row starts with the values of the full walk.
template <int n>
void row_rasteriser_t::walk_half(lazy_edge_t& short_edge) {
    lazy_edge_t& left = middle_is_left_ != 0 ? short_edge : long_;
    lazy_edge_t& right = middle_is_left_ != 0 ? long_ : short_edge;

    // Row numbers are whole floats compared in double, as in the spans; NaN gives no rows.
    const double first = nearest_float(short_edge.edge.y);
    const double last = static_cast<double>(nearest_float(short_edge.edge.y_end)) - 1.0;
    if (!(last >= first)) return;
    // Only now the edges' x steps (a division each): many halves of small triangles have no row.
    left.place();
    right.place();
    if (made_) {
        catch_up<n>(left);
        catch_up<n>(right);
    }

    // Rows above the framebuffer draw nothing but still move both edges, so the visible rows
    // (and the long edge carried into the lower half) see the values of a full walk.
    int64_t y = 0;
    if (first < 0.0) {
        const double above = std::min(last, -1.0) - first + 1.0;
        advance<n>(left, above);
        advance<n>(right, above);
        if (last < 0.0) return;
    } else {
        if (!(first < static_cast<double>(row_end_))) return;
        y = static_cast<int64_t>(first);
    }
    // Rows below the window are not walked at all: they cannot touch a pixel of it, and the
    // lower half, which inherits the long edge, lies entirely below them.
    const auto y_last = static_cast<int64_t>(std::min(last, static_cast<double>(row_end_) - 1.0));
    if (y < row_begin_) {
        const int64_t above = std::min(row_begin_, y_last + 1) - y;
        skip_rows<n>(left, above);
        skip_rows<n>(right, above);
        y += above;
    }
    if (y > y_last) return;

    const bool wireframe = screen_.wireframe != 0;
    span_columns_t columns;
    const span_columns_t* first_row = nullptr;  // row y's columns, when the search found them
    if (!made_) {
        // Every wireframe row draws its ends; a filled one only where its span meets a pixel.
        for (; !wireframe && y <= y_last; ++y) {
            if (span_columns(screen_, left.edge, right.edge, static_cast<int32_t>(y), columns)) {
                first_row = &columns;
                break;
            }
            step<n>(left);
            step<n>(right);
        }
        if (y > y_last) return;
        make_set_up<n>(left, right);
    }
    edge_t& l = left.edge;
    edge_t& r = right.edge;
    if (wireframe) {
        for (; y <= y_last; ++y) {
            wireframe_ends<n>(screen_, gradients_, l, r, static_cast<int32_t>(y));
            l.step<n>();
            r.step<n>();
        }
    } else {
        fill_rows<n>(y, y_last, l, r, first_row);
    }
}

// Filled rows: the rows' spans are gathered a few at a time and filled together (they are
// different rows, so the order in which their pixels are written does not matter).
template <int n>
void row_rasteriser_t::fill_rows(int64_t y, int64_t y_last, edge_t& left, edge_t& right,
                                 const span_columns_t* first_row) {
    int batched = 0;
    if (first_row != nullptr) {
        take_row<n>(*first_row, left.values, left.x, static_cast<int32_t>(y), batched);
        left.step<n>();
        right.step<n>();
        ++y;
    }
    span_columns_t columns;
    for (; y <= y_last; ++y) {
        const auto row_y = static_cast<int32_t>(y);
        if (span_columns(screen_, left, right, row_y, columns))
            take_row<n>(columns, left.values, left.x, row_y, batched);
        left.step<n>();
        right.step<n>();
    }
    flush_rows(batched);
}

void draw_span(screen_t& screen, const gradients_t& g, const edge_t& left, const edge_t& right, int32_t y,
               const texture_t& texture) {
    screen.pixel_count += span_pixels(screen, g, left, right, y, texture);
}

void draw_scanlines(screen_t& screen, const gradients_t& g, edge_t& long_edge, edge_t& short_edge,
                    int32_t middle_is_left, const texture_t& texture) {
    const auto height = static_cast<int32_t>(std::min<uint32_t>(screen.height, INT32_MAX));
    row_rasteriser_t rows(screen, texture, 0, height);
    screen.pixel_count += rows.draw_half(g, long_edge, short_edge, middle_is_left);
}

void rasterise_triangle(screen_t& screen, const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                        int32_t middle_is_left, const texture_t& texture) {
    const auto height = static_cast<int32_t>(std::min<uint32_t>(screen.height, INT32_MAX));
    row_rasteriser_t rows(screen, texture, 0, height);
    screen.pixel_count += rows.draw(top, middle, bottom, middle_is_left);
    ++screen.triangle_count;
}
