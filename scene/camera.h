// camera_t: where the viewer looks from (orbit, zoom, pan), and the projection and frame matrices built from it.
#pragma once

#include <cstdint>

#include "math/mat4.h"

// The demo's camera looks along +z at the scene's centre, 2.4 units away, with the target's
// field of view; the scene turns about its centre in front of it. A camera_t moves the viewer
// around that centre. Angles are degrees. The default camera is the demo's own, and gives its
// matrices bit for bit.
struct camera_t {
    // About the vertical axis: a positive azimuth brings the scene's right side (+x) round
    // towards the viewer, as if the viewer walked to the right around it.
    double azimuth = 0.0;
    // Above the horizon: a positive elevation looks down on the scene's top (+y). Kept within
    // +-max_elevation, short of the poles, where the orbit would turn over.
    double elevation = 0.0;
    // Magnification of the picture: 2 shows the scene twice as large. The field of view
    // narrows; the viewer stays where it is, so nothing comes nearer than before.
    double zoom = 1.0;
    // Sideways and upwards shift of the view, in units of the picture's half height at the
    // scene's centre (1 moves the centre half a picture up): the scene moves the other way.
    double pan_x = 0.0;
    double pan_y = 0.0;

    static constexpr double max_elevation = 89.0;
    static constexpr double min_zoom = 0.01;
    static constexpr double max_zoom = 100.0;

    bool is_default() const;
};

// Distance from the viewer to the scene's centre.
constexpr float camera_distance = 2.4f;

// Perspective with the field of view (radians, narrowed by the zoom) and the aspect of a
// width x height target (divided in extended precision and rounded to single), near plane 1
// and far plane 1000000.
mat4_t scene_projection(float fov_radians, uint32_t width, uint32_t height, double zoom);

// projection * translation(0, 0, 2.4) * view * rotation(angle, angle / 2, angle / 3) *
// scale(model_scale): the scene turned about its centre by the frame's angle, scaled, seen
// from the camera's orbit and pan, projected. The angle's divisions happen in double and
// each is rounded to single only when passed. With the default camera and a scale of 1 the
// view and scale are left out, so the product is the demo's own.
mat4_t scene_frame(const mat4_t& projection, const camera_t& camera, double angle, float model_scale = 1.0f);

// The share of the picture's smaller side that a fitted scene's bounding sphere fills.
constexpr double fit_share = 0.9;

// The scale that makes a bounding sphere of the given radius about the scene's centre fill
// fit_share of the smaller side of a width x height target at zoom 1; 1 for a radius that is
// not positive and finite.
float fit_scale(double radius, float fov_radians, uint32_t width, uint32_t height);
