// The light that shades the triangles: a direction in the space of the mesh's normals, from two angles.
#pragma once

#include "math/vec4.h"

// Shade = clamp(normal . light) * 0.9 + 0.1, the four-component dot product with the light's
// w at 1. The light is the direction it travels in the space the mesh gives its normals (they
// are not turned with the object, so neither is the light); the meshes' normals point into
// their solids, so a surface is lit fully when its inward normal runs along the light. The
// default travels along +z, away from the viewer of the unturned scene: the light comes from
// the viewer.
constexpr vec4_t default_light{0.0f, 0.0f, 1.0f, 1.0f};

// The light coming from azimuth and elevation degrees as the viewer of the unturned scene sees
// them (x to the right, y up, z away from the viewer): a positive azimuth brings it round from
// the right, a positive elevation from above. The direction it travels is
// (-sin az cos el, -sin el, cos az cos el, 1), each component rounded to single; (0, 0) gives
// default_light itself, bit for bit.
vec4_t light_from_angles(double azimuth_degrees, double elevation_degrees);
