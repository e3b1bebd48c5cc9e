// A run's picture quality: the options given, the defaults of a thumbnail or of the demo for the rest.
#pragma once

#include <cstdint>

#include "app/command_line.h"
#include "surfaces/draw_state.h"

struct picture_quality_t {
    edge_rule_t edges = edge_rule_t::spans;
    uint32_t ssaa = 1;
    texture_filter_t filter = texture_filter_t::nearest;
    line_mode_t lines = line_mode_t::none;
    vec4_t light = default_light;

    // Into the draw state: all but ssaa, which comes with the samples' memory
    // (viewer/picture_target.h).
    void apply_to(draw_state_t& state) const;
};

// What the options ask for. Those not given are the demo's picture, or for a thumbnail of
// width x height pixels the model pictures' look (scene/model_scene.h).
picture_quality_t picture_quality_of(const options_t& options, bool thumbnail, uint32_t width, uint32_t height);
