// The camera: the demo's matrices kept bit for bit, the fit of a bounding sphere, and which way the orbit turns.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "scene/camera.h"

namespace {

// Where a point lands in normalised device coordinates.
vec4_t projected(const mat4_t& frame, float x, float y, float z) {
    const vec4_t p = transform(frame, vec4_t(x, y, z, 1.0f));
    return vec4_t(p.x / p.w, p.y / p.w, p.z / p.w, p.w);
}

}  // namespace

TEST(Camera, TheDefaultCameraGivesTheDemosMatricesBitForBit) {
    const float fov = 1.57079637f;
    mat4_t demo_projection;
    demo_projection.perspective(fov, 1.33333337f, 1.0f, 1000000.0f);
    const mat4_t projection = scene_projection(fov, 800, 600, 1.0);
    EXPECT_EQ(0, std::memcmp(projection.m, demo_projection.m, sizeof projection.m));
    for (const double angle : {0.01, 1.0, 12345.67}) {
        mat4_t translation;
        translation.translation(0.0f, 0.0f, 2.4f);
        const mat4_t rotation = mat4_t().rotation(static_cast<float>(angle), static_cast<float>(angle / 2.0),
                                                  static_cast<float>(angle / 3.0));
        const mat4_t demo = multiply(demo_projection, multiply(translation, rotation));
        const mat4_t frame = scene_frame(projection, camera_t{}, angle);
        EXPECT_EQ(0, std::memcmp(frame.m, demo.m, sizeof frame.m)) << "angle " << angle;
    }
}

TEST(Camera, AFittedSphereFillsNinetyPercentOfTheSmallerSide) {
    const float fov = 1.57079637f;
    for (const auto& [w, h] : {std::pair(800u, 600u), {600u, 800u}, {1000u, 100u}, {16u, 16384u}}) {
        const double radius = 1.7;
        const float scale = fit_scale(radius, fov, w, h);
        // The silhouette of a sphere of radius s * r seen from 2.4 away has half-angle asin(s r / 2.4).
        const double half_angle = std::asin(scale * radius / 2.4);
        const double smaller_half = std::tan(fov / 2.0) * std::min(1.0, static_cast<double>(w) / h);
        EXPECT_NEAR(std::tan(half_angle) / smaller_half, 0.9, 1e-6) << w << " x " << h;
    }
    EXPECT_EQ(fit_scale(0.0, fov, 800, 600), 1.0f);
    EXPECT_EQ(fit_scale(std::nan(""), fov, 800, 600), 1.0f);
}

TEST(Camera, OrbitZoomAndPanTurnAndMoveTheViewAsDocumented) {
    const mat4_t projection = scene_projection(1.57079637f, 800, 600, 1.0);
    camera_t right;
    right.azimuth = 90.0;
    // Walking 90 degrees to the right brings the right side (+x) to the front: nearer.
    EXPECT_NEAR(projected(scene_frame(projection, right, 0.0), 1, 0, 0).w, 1.4f, 1e-5f);
    camera_t above;
    above.elevation = 89.0;
    // Looking down from above brings the top (+y) towards the viewer.
    EXPECT_LT(projected(scene_frame(projection, above, 0.0), 0, 1, 0).w, 1.42f);
    // Zoom 2 doubles the distance of a point from the picture's centre.
    camera_t zoomed;
    zoomed.zoom = 2.0;
    const mat4_t zoomed_projection = scene_projection(1.57079637f, 800, 600, 2.0);
    EXPECT_NEAR(projected(scene_frame(zoomed_projection, zoomed, 0.0), 0.5f, 0.25f, 0).x,
                2 * projected(scene_frame(projection, camera_t{}, 0.0), 0.5f, 0.25f, 0).x, 1e-6f);
    // A pan of 1 moves the view half a picture up: the centre goes to the bottom edge.
    camera_t panned;
    panned.pan_y = 1.0;
    EXPECT_NEAR(projected(scene_frame(projection, panned, 0.0), 0, 0, 0).y, -1.0f, 1e-6f);
}
