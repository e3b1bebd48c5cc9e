// Turning a loaded model into the mesh the renderer draws.
#pragma once

#include <memory>

#include "mesh/mesh.h"
#include "model/model.h"

// The opacity an opaque material gets: the span filler never draws a pixel whose alpha is
// 1.0 or more, so a model is drawn three quarters opaque unless told otherwise.
constexpr float default_model_opacity = 0.75f;

// One mesh vertex per model vertex and one triangle per index triple. The files' coordinates
// are right-handed and the demo's camera looks along +z with y up, so z is mirrored: the
// file's front (+z) faces the camera, seen as the file's own viewer sees it. The files' front
// faces run counter-clockwise as seen, the pipeline's clockwise, so every triangle is handed
// over as (a, c, b), which keeps the back-face test right. The renderer lights
// along +z, the camera's own direction, so normals are turned to point into the surface
// (as the cube's do): a surface facing the viewer is lit. Alpha is the material's opacity
// times `opacity`.
std::unique_ptr<mesh_t> make_mesh(const model_t& model, float opacity);
