// The statistics overlay.
#include "scene/overlay.h"

#include <algorithm>

#include "base/graphics_screen.h"
#include "base/text.h"
#include "surfaces/screen.h"

static_assert(overlay_format.size() == 89);

namespace {

size_t digits(uint32_t n) { return std::to_string(n).size(); }

}  // namespace

std::string overlay_format_for(uint32_t triangles, uint32_t pixels) {
    std::string format(overlay_format);
    // The pixel field comes after the triangle field, so it is widened first and the
    // triangle field's position stays valid.
    const size_t pixel_field = format.rfind("######## Pixels");
    format.replace(pixel_field, 8, std::string(std::max<size_t>(8, digits(pixels)), '#'));
    const size_t triangle_field = format.rfind("#### Tiangles");
    format.replace(triangle_field, 4, std::string(std::max<size_t>(4, digits(triangles)), '#'));
    return format;
}

std::string overlay_text(const framestats_t& stats, const screen_t& screen) {
    const base::print_value values[] = {stats.frames, stats.fps, stats.frame_ms, screen.triangle_count,
                                        screen.pixel_count};
    return base::format_fields(overlay_format_for(screen.triangle_count, screen.pixel_count), values);
}

std::string print_overlay(const framestats_t& stats, const screen_t& screen) {
    if (screen.framebuffer != base::screen_framebuffer()) {
        // A target of its own: the line goes into its buffer, in the top-left cell.
        const std::string text = overlay_text(stats, screen);
        base::draw_text(screen.framebuffer, screen.width, screen.height, 0, 0, text);
        return text;
    }
    base::text_cursor(1, 1);
    return base::print_using(overlay_format_for(screen.triangle_count, screen.pixel_count),
                             {stats.frames, stats.fps, stats.frame_ms, screen.triangle_count, screen.pixel_count});
}
