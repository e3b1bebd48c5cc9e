// The camera's projection and frame matrices, and the scale that fits a scene to the picture.
#include "scene/camera.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

float radians(double degrees) { return static_cast<float>(degrees * std::numbers::pi / 180.0); }

}  // namespace

bool camera_t::is_default() const {
    return azimuth == 0.0 && elevation == 0.0 && zoom == 1.0 && pan_x == 0.0 && pan_y == 0.0;
}

mat4_t scene_projection(float fov_radians, uint32_t width, uint32_t height, double zoom) {
    const auto aspect = static_cast<float>(static_cast<long double>(width) / height);
    // At zoom 1 the field of view is used as given, so the demo's projection keeps its bits.
    const float fov =
        zoom == 1.0 ? fov_radians : static_cast<float>(2.0 * std::atan(std::tan(fov_radians / 2.0) / zoom));
    mat4_t projection;
    projection.perspective(fov, aspect, 1.0f, 1000000.0f);
    return projection;
}

mat4_t scene_frame(const mat4_t& projection, const camera_t& camera, double angle, float model_scale) {
    mat4_t translation;
    translation.translation(0.0f, 0.0f, camera_distance);
    mat4_t turned =
        mat4_t().rotation(static_cast<float>(angle), static_cast<float>(angle / 2.0), static_cast<float>(angle / 3.0));
    if (model_scale != 1.0f) turned = multiply(turned, mat4_t().scale(model_scale, model_scale, model_scale));
    if (camera.azimuth != 0.0 || camera.elevation != 0.0) {
        // The rotations turn +x towards +z and +y towards +z for positive angles; the viewer
        // looks along +z, so the camera's angles turn the scene the other way.
        const float elevation =
            radians(-std::clamp(camera.elevation, -camera_t::max_elevation, camera_t::max_elevation));
        const mat4_t view =
            multiply(mat4_t().rotation(elevation, 0.0f, 0.0f), mat4_t().rotation(0.0f, radians(-camera.azimuth), 0.0f));
        turned = multiply(view, turned);
    }
    if (camera.pan_x != 0.0 || camera.pan_y != 0.0) {
        // One unit of pan is the half height the picture spans at the centre's distance
        // before zooming: tan(fov / 2) * 2.4, read back from the projection's y scale.
        const double half_height = static_cast<double>(camera_distance) / projection.at(1, 1);
        mat4_t shift;
        shift.translation(static_cast<float>(-camera.pan_x * half_height),
                          static_cast<float>(-camera.pan_y * half_height), 0.0f);
        turned = multiply(shift, turned);
    }
    return multiply(projection, multiply(translation, turned));
}

float fit_scale(double radius, float fov_radians, uint32_t width, uint32_t height) {
    if (!(radius > 0.0) || !std::isfinite(radius) || width == 0 || height == 0) return 1.0f;
    // The sphere's silhouette seen from distance d has half-angle asin(r / d); filling a
    // share f of the smaller side's half-extent t (the tangent of its half field of view)
    // takes tan(half-angle) = f * t, so the sphere's radius at distance 2.4 is 2.4 * sin(atan(f t)).
    const double aspect = static_cast<double>(width) / height;
    const double smaller_half = std::tan(fov_radians / 2.0) * std::min(1.0, aspect);
    const double wanted = static_cast<double>(camera_distance) * std::sin(std::atan(fit_share * smaller_half));
    return static_cast<float>(wanted / radius);
}
