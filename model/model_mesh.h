// Turning a loaded model into the mesh the renderer draws.
#pragma once

#include <memory>

#include "mesh/mesh.h"
#include "model/model.h"

// The opacity an opaque material gets unless told otherwise: three quarters, as the demo's
// translucent look has it.
constexpr float default_model_opacity = 0.75f;

// The largest alpha a vertex is given. The span filler never draws a pixel whose alpha is
// 1.0 or more, but this value, the largest float below 1, passes that test and still becomes
// the byte 255, with which the blend (c * 255 + old * 0) >> 8 takes nothing of the old pixel:
// an opacity of 1 draws fully opaque surfaces.
constexpr float opaque_alpha = 0x1.fffffep-1f;

// One mesh vertex per model vertex and one triangle per index triple. The files' coordinates
// are right-handed and the demo's camera looks along +z with y up, so z is mirrored: the
// file's front (+z) faces the camera, seen as the file's own viewer sees it. The files' front
// faces run counter-clockwise as seen, the pipeline's clockwise, so every triangle is handed
// over as (a, c, b), which keeps the back-face test right. The renderer lights
// along +z, the camera's own direction, so normals are turned to point into the surface
// (as the cube's do): a surface facing the viewer is lit. Alpha is the material's opacity
// times `opacity` (0 to 1), at most opaque_alpha.
std::unique_ptr<mesh_t> make_mesh(const model_t& model, float opacity);
