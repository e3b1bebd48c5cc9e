// The render options' picture quality, checked and resolved for a model or the cube into a draw state.
#pragma once

#include <cstdint>
#include <string>

#include "softcube/softcube.h"
#include "surfaces/draw_state.h"

namespace softcube::detail {

// What is wrong with the quality options (a value out of range), or empty.
std::string picture_options_error(const render_options& o);

// The samples per pixel side the options ask for: automatic takes the model pictures' look
// for a model, 1 for the cube.
uint32_t resolved_ssaa(const render_options& o, bool model);

// The edges, filter, lines and light into the state, automatic resolved the same way (ssaa
// is set with the samples' memory).
void apply_picture_options(const render_options& o, bool model, draw_state_t& state);

}  // namespace softcube::detail
