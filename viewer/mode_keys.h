// The drawing modes of a model scene switched by keys in the window, and the window title that names them.
#pragma once

#include <string>

struct screen_t;

// Takes the presses since the last frame: T, W, C and K toggle the screen's textured,
// wireframe, cull_backfaces and clip_triangles flags, Space toggles *paused. True when
// anything changed. Without a window nothing is pressed.
bool apply_mode_keys(screen_t& screen, bool* paused);

// "softcube - NAME", then the modes that are on in brackets, e.g.
// "softcube - torus.obj [textured, cull, paused]".
std::string model_window_title(const std::string& model_name, const screen_t& screen, bool paused);
