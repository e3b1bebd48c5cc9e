// softcube::view: a model in a window, held with the mouse and keys as in the softcube program (the window component).
//
//     softcube::view(softcube::load_model("file.glb"));
//
// Part of the window component (softcube::window in the CMake package), which links SDL2's
// video and X11; the offscreen interface in softcube/softcube.h needs neither.
#pragma once

#include "softcube/softcube.h"

namespace softcube {

// Opens a window of the options' size showing the model, turning from the options' frame
// and seen from their camera, until the user closes it or holds Escape. The mouse orbits,
// pans and zooms, the keys switch the modes, F12 writes numbered pictures, H shows the keys
// (see the softcube program's README). The window is the one window of the process: one view
// at a time. Throws error when no window can be opened (no display).
// The window's title names the model's file (or "mesh"), its modes and the camera once moved.
SOFTCUBE_API void view(const model& m, const render_options& options = {});

}  // namespace softcube
