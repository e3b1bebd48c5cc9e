// Checking and resolving the render options' picture quality.
#include "softcube/picture_options.h"

#include <algorithm>
#include <cmath>

#include "scene/model_scene.h"
#include "surfaces/light.h"

namespace softcube::detail {

std::string picture_options_error(const render_options& o) {
    if (o.edges != edge_rule::automatic && o.edges != edge_rule::spans && o.edges != edge_rule::watertight) {
        return "the edge rule must be automatic, spans or watertight";
    }
    if (o.filter != texture_filter::automatic && o.filter != texture_filter::nearest &&
        o.filter != texture_filter::linear && o.filter != texture_filter::trilinear) {
        return "the texture filter must be automatic, nearest, linear or trilinear";
    }
    if (o.lines != line_mode::none && o.lines != line_mode::over && o.lines != line_mode::only) {
        return "the lines must be none, over or only";
    }
    if (o.ssaa < 0 || o.ssaa > static_cast<int>(max_ssaa)) {
        return "ssaa must be 0 (automatic) or 1 to 4, not " + std::to_string(o.ssaa);
    }
    if (o.ssaa > 1 && static_cast<int64_t>(std::max(o.width, o.height)) * o.ssaa > 16384) {
        return "ssaa " + std::to_string(o.ssaa) + " draws " +
               std::to_string(static_cast<int64_t>(std::max(o.width, o.height)) * o.ssaa) +
               " samples along a side; at most 16384 are possible";
    }
    if (!(std::abs(o.light_azimuth) <= 1e6)) return "the light's azimuth must be a finite number of degrees";
    if (!(std::abs(o.light_elevation) <= 90.0)) return "the light's elevation must be -90 to 90 degrees";
    return "";
}

uint32_t resolved_ssaa(const render_options& o, bool model) {
    if (o.ssaa > 0) return static_cast<uint32_t>(o.ssaa);
    return model ? model_picture_ssaa_for(static_cast<uint32_t>(o.width), static_cast<uint32_t>(o.height)) : 1;
}

void apply_picture_options(const render_options& o, bool model, draw_state_t& state) {
    switch (o.edges) {
        case edge_rule::automatic:
            state.edges = model ? model_picture_edges : edge_rule_t::spans;
            break;
        case edge_rule::spans:
            state.edges = edge_rule_t::spans;
            break;
        case edge_rule::watertight:
            state.edges = edge_rule_t::watertight;
            break;
    }
    switch (o.filter) {
        case texture_filter::automatic:
            state.filter = model ? model_picture_filter : texture_filter_t::nearest;
            break;
        case texture_filter::nearest:
            state.filter = texture_filter_t::nearest;
            break;
        case texture_filter::linear:
            state.filter = texture_filter_t::linear;
            break;
        case texture_filter::trilinear:
            state.filter = texture_filter_t::trilinear;
            break;
    }
    state.lines = o.lines == line_mode::over   ? line_mode_t::over_fill
                  : o.lines == line_mode::only ? line_mode_t::only
                                               : line_mode_t::none;
    state.light = light_from_angles(o.light_azimuth, o.light_elevation);
}

}  // namespace softcube::detail
