// Runs that draw models into picture files through the library: a batch into a folder, and a thumbnail.
#pragma once

#include <cstdint>

#include "app/command_line.h"

// Each model alone, one frame (its --frame, else unturned) with the command line's picture,
// camera and modes, into DIR/NAME.png (NAME the model's file name without its extension;
// "-2", "-3", ... added when two models share a name). A model that cannot be loaded or
// drawn is reported in one line and the others still drawn; a summary line follows. Returns
// the exit status: 0 when every model was drawn, 1 otherwise.
int run_batch(const options_t& options, uint32_t threads);

// The camera of a thumbnail: a three-quarter view from the front right, a little above.
constexpr double thumbnail_azimuth = 35.0;
constexpr double thumbnail_elevation = 25.0;

// The thumbnail of options.thumbnail_input into options.thumbnail_output: a PNG of SIZE x
// SIZE pixels, transparent where the model is not, the model unturned, fully opaque and
// fitted, seen from the thumbnail camera, without the statistics line, in the model pictures'
// quality (scene/model_scene.h) unless the options choose their own. The model's files must
// all lie in its own folder, as a file manager runs this on whatever was downloaded. Returns
// the exit status: 0 when written, 1 (with one line on stderr) otherwise.
int run_thumbnail(const options_t& options, uint32_t threads);
