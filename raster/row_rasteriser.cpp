// The row rasteriser: a triangle's two halves walked down the window's rows, each row's span found and filled.
#include "raster/row_rasteriser.h"

#include <algorithm>

#include "base/graphics_screen.h"
#include "math/nearest.h"
#include "raster/edge_lines.h"
#include "raster/row_spans.h"
#include "raster/texture_filter.h"
#include "raster/triangle_rows.h"
#include "surfaces/texture.h"

// The framebuffer's rows above a window are stepped exactly only while they stay within the
// walker's exact advance.
static_assert(base::screen_max_side <= edge_walker_t::exact_step_limit);

namespace {

// A nearest() result as the unsigned coordinate draw_pixel expects: negative values become
// large numbers (two's complement) and fail its bounds test, as do NaN and huge values.
uint32_t as_pixel_coordinate(float v) {
    const float r = nearest_float(v);
    if (!(r >= -2147483648.0f && r < 2147483648.0f)) return UINT32_MAX;
    return static_cast<uint32_t>(static_cast<int32_t>(r));
}

// False when row y's filled span touches no pixel of the target.
bool span_columns(const render_target_t& target, float left_x, float right_x, int32_t y, span_columns_t& c) {
    if (y < 0 || static_cast<uint32_t>(y) >= target.height || target.framebuffer == nullptr ||
        target.zbuffer == nullptr) {
        return false;
    }
    const float xs = left_x + 0.5f;
    const float xe = right_x + 0.5f;
    // Column numbers are whole floats compared in double, so infinite or 1e30-wide spans
    // need no integer conversion until they are clamped to the row. A NaN end has no
    // nearest integer: such a span covers no pixel (every comparison below fails).
    const double x_first = nearest_float(xs);
    const double x_last = nearest_float(xe - 1.0f);
    if (!(x_last >= x_first) || !(x_last >= 0.0)) return false;
    if (!(x_first < static_cast<double>(target.width))) return false;
    c.xs = xs;
    c.x_first = x_first;
    c.x_begin = x_first < 0.0 ? 0 : static_cast<int64_t>(x_first);
    c.x_end = static_cast<int64_t>(std::min(x_last, static_cast<double>(target.width) - 1.0));
    return true;
}

// Both ends of row y's span in the colour and shade of its start; no depth test, no count.
template <int n>
void wireframe_ends(render_target_t& target, const interpolants_t& d_dx, const edge_t& left, const edge_t& right,
                    int32_t y) {
    const float xs = left.x + 0.5f;
    const float xe = right.x + 0.5f;
    interpolants_t s;
    move_into<n>(s, left.values, d_dx, xs - left.x);
    const uint8_t a = pixel_channel_byte(s[interpolant::alpha]);
    const uint8_t r = pixel_channel_byte(s[interpolant::red]);
    const uint8_t g = pixel_channel_byte(s[interpolant::green]);
    const uint8_t b = pixel_channel_byte(s[interpolant::blue]);
    const float shade = s[interpolant::shade];
    const auto row = static_cast<uint32_t>(y);
    target.draw_pixel(as_pixel_coordinate(xs), row, a, r, g, b, shade);
    target.draw_pixel(as_pixel_coordinate(xe), row, a, r, g, b, shade);
}

}  // namespace

row_rasteriser_t::row_rasteriser_t(render_target_t& target, const draw_state_t& state, int32_t row_begin,
                                   int32_t row_end)
    : target_(target),
      state_(state),
      row_begin_(std::max<int64_t>(row_begin, 0)),
      // A target taller than any screen (only one whose fields were set by hand) is not drawn:
      // the rows above a band of it could not all be stepped exactly.
      row_end_(std::min<int64_t>(row_end, target.height <= base::screen_max_side ? target.height : 0)) {
    // The bounds are whole numbers of at most base::screen_max_side, exact as floats.
    if (target.framebuffer != nullptr && target.zbuffer != nullptr && target.width > 0 && row_end_ > row_begin_ &&
        target.width <= base::screen_max_side) {
        small_row_begin_ = static_cast<float>(row_begin_);
        small_row_end_ = static_cast<float>(row_end_);
        small_x_limit_ = static_cast<float>(target.width - 1);
    }
}

uint32_t row_rasteriser_t::draw(const vertex_t& top, const vertex_t& middle, const vertex_t& bottom,
                                int32_t middle_is_left, const texture_t& texture) {
    middle_is_left_ = middle_is_left;
    texture_ = &texture;
    set_up_.begin(top, middle, bottom, state_.light);
    pixels_ = 0;
    if (state_.lines != line_mode_t::only) fill();
    if (state_.lines != line_mode_t::none) draw_edge_lines();
    return pixels_;
}

void row_rasteriser_t::fill() {
    if (state_.wireframe == 0) {
        const bool textured = state_.textured != 0;
        if (state_.edges == edge_rule_t::watertight &&
            (textured ? draw_watertight<interpolant::count>() : draw_watertight<interpolant::untextured_count>())) {
            return;
        }
        if (textured ? draw_small<interpolant::count>() : draw_small<interpolant::untextured_count>()) return;
    }
    const vertex_t& top = set_up_.top();
    const vertex_t& middle = set_up_.middle();
    const vertex_t& bottom = set_up_.bottom();
    long_.begin(set_up_, top, bottom, 0);
    upper_.begin(set_up_, top, middle, 0);
    lower_.begin(set_up_, middle, bottom, 1);
    if (state_.textured != 0) {
        walk_half<interpolant::count>(upper_);
        walk_half<interpolant::count>(lower_);
    } else {
        walk_half<interpolant::untextured_count>(upper_);
        walk_half<interpolant::untextured_count>(lower_);
    }
}

// Over the fill the lines are drawn at half the surface's shade, so that they show on it.
void row_rasteriser_t::draw_edge_lines() {
    const float shade_scale = state_.lines == line_mode_t::over_fill ? 0.5f : 1.0f;
    const auto end_of = [&](const vertex_t& v) {
        line_end_t e;
        e.x = v.position.x;
        e.y = v.position.y;
        e.z = v.position.z;
        e.colour = v.colour;
        e.shade = shade_of_normal(v.normal, state_.light);
        return e;
    };
    const line_end_t top = end_of(set_up_.top());
    const line_end_t middle = end_of(set_up_.middle());
    const line_end_t bottom = end_of(set_up_.bottom());
    pixels_ += draw_line(target_, top, middle, shade_scale, row_begin_, row_end_);
    pixels_ += draw_line(target_, middle, bottom, shade_scale, row_begin_, row_end_);
    pixels_ += draw_line(target_, top, bottom, shade_scale, row_begin_, row_end_);
}

uint32_t row_rasteriser_t::draw_span(const gradients_t& g, const edge_t& left, const edge_t& right, int32_t y,
                                     const texture_t& texture) {
    if (state_.wireframe != 0) {
        wireframe_ends<interpolant::count>(target_, g.d_dx, left, right, y);
        return 0;
    }
    span_columns_t c;
    if (!span_columns(target_, left.x, right.x, y, c)) return 0;
    span_row_t row;
    row_spans::start_span_row<interpolant::count>(target_, g.d_dx, left.values, left.x, c, y, row);
    return fill_rows(&row, 1, g, texture);
}

void row_rasteriser_t::flush_rows(int batched) {
    if (batched == 0) return;
    pixels_ += fill_rows(rows_, batched, set_up_.gradients(), *texture_);
}

uint32_t row_rasteriser_t::fill_rows(const span_row_t* rows, int count, const gradients_t& g,
                                     const texture_t& texture) const {
    if (state_.textured == 0) return fill_vertex_colour_rows(rows, count, g.d_dx);
    if (state_.filter == texture_filter_t::nearest) return fill_textured_rows(rows, count, g.d_dx, texture);
    return fill_filtered_rows(rows, count, g.d_dx, g.d_dy, texture, state_.filter);
}

// One half of the triangle, drawn only in the window's rows (see half_walk_t): the window's
// first row starts with the values of the walk over the whole framebuffer.
template <int n>
void row_rasteriser_t::walk_half(edge_walker_t& short_edge) {
    edge_walker_t& left = middle_is_left_ != 0 ? short_edge : long_;
    edge_walker_t& right = middle_is_left_ != 0 ? long_ : short_edge;

    // The rows come from the short edge's ends, known before the edges are placed.
    const half_walk_t walk = walk_of_half(short_edge.y(), short_edge.y_end(), row_begin_, row_end_);
    if (!walk.has_rows) return;
    // Only now the edges' x steps (a division each): many halves of small triangles have no row.
    left.place();
    right.place();
    if (set_up_.made()) {
        left.take_values<n>();
        right.take_values<n>();
    }
    if (walk.passed > 0.0) {
        left.advance<n>(walk.passed);
        right.advance<n>(walk.passed);
    }
    if (walk.stepped > 0) {
        left.advance<n>(static_cast<double>(walk.stepped));
        right.advance<n>(static_cast<double>(walk.stepped));
    }
    int64_t y = walk.first;
    if (y > walk.last) return;

    const bool wireframe = state_.wireframe != 0;
    span_columns_t columns;
    const span_columns_t* first_row = nullptr;  // row y's columns, when the search found them
    if (!set_up_.made()) {
        // Every wireframe row draws its ends; a filled one only where its span meets a pixel.
        for (; !wireframe && y <= walk.last; ++y) {
            if (span_columns(target_, left.x(), right.x(), static_cast<int32_t>(y), columns)) {
                first_row = &columns;
                break;
            }
            left.advance<n>(1.0);
            right.advance<n>(1.0);
        }
        if (y > walk.last) return;
    }
    left.take_values<n>();
    right.take_values<n>();
    if (wireframe) {
        for (; y <= walk.last; ++y) {
            wireframe_ends<n>(target_, set_up_.gradients().d_dx, left.edge(), right.edge(), static_cast<int32_t>(y));
            left.advance<n>(1.0);
            right.advance<n>(1.0);
        }
    } else {
        walk_filled_rows<n>(y, walk.last, left, right, first_row);
    }
}

// Filled rows: the rows' spans are gathered a few at a time and filled together (they are
// different rows, so the order in which their pixels are written does not matter).
template <int n>
void row_rasteriser_t::walk_filled_rows(int64_t y, int64_t y_last, edge_walker_t& left, edge_walker_t& right,
                                        const span_columns_t* first_row) {
    int batched = 0;
    if (first_row != nullptr) {
        take_row<n>(*first_row, left.values(), left.x(), static_cast<int32_t>(y), batched);
        left.advance<n>(1.0);
        right.advance<n>(1.0);
        ++y;
    }
    span_columns_t columns;
    for (; y <= y_last; ++y) {
        const auto row_y = static_cast<int32_t>(y);
        if (span_columns(target_, left.x(), right.x(), row_y, columns)) {
            take_row<n>(columns, left.values(), left.x(), row_y, batched);
        }
        left.advance<n>(1.0);
        right.advance<n>(1.0);
    }
    flush_rows(batched);
}
