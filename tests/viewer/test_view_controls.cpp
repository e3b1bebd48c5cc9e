// The window's input as camera changes, and the title that shows the camera once it moved.
#include <gtest/gtest.h>

#include "surfaces/screen.h"
#include "viewer/view_controls.h"

TEST(ViewControls, DragsWheelArrowsAndResetMoveTheCameraWithinItsLimits) {
    const camera_t start{};
    view_input_t drag;
    drag.mouse.orbit_x = 50;  // right: the scene turns right, the viewer walks left
    drag.mouse.orbit_y = 25;  // down: the top tilts towards the viewer
    camera_t c = camera_after(start, drag, start, 600, 0.0);
    EXPECT_DOUBLE_EQ(c.azimuth, -20.0);
    EXPECT_DOUBLE_EQ(c.elevation, 10.0);
    drag.mouse.orbit_y = 1000;
    EXPECT_EQ(camera_after(c, drag, start, 600, 0.0).elevation, camera_t::max_elevation);
    drag.mouse.orbit_x = 2000;  // azimuth wraps into -180 .. 180
    EXPECT_LE(std::abs(camera_after(c, drag, start, 600, 0.0).azimuth), 180.0);

    // Arrows turn by time, not by frames: two half-second frames turn as far as one second.
    view_input_t arrows;
    arrows.arrow_x = 1.0;
    const camera_t once = camera_after(start, arrows, start, 600, 1.0);
    const camera_t twice = camera_after(camera_after(start, arrows, start, 600, 0.5), arrows, start, 600, 0.5);
    EXPECT_DOUBLE_EQ(once.azimuth, orbit_degrees_per_second * 0.25);  // a long frame counts as a quarter second
    EXPECT_DOUBLE_EQ(twice.azimuth, orbit_degrees_per_second * 0.5);

    view_input_t zoom;
    zoom.mouse.wheel = 2;
    zoom.zoom_steps = -1;
    EXPECT_DOUBLE_EQ(camera_after(start, zoom, start, 600, 0.0).zoom, 1.1 * 1.1 / 1.25);
    zoom.mouse.wheel = 1000;
    EXPECT_EQ(camera_after(start, zoom, start, 600, 0.0).zoom, camera_t::max_zoom);

    // A pan follows the pointer: 300 pixels of a 600-pixel picture are one unit.
    view_input_t pan;
    pan.mouse.pan_x = 300;
    pan.mouse.pan_y = -150;
    c = camera_after(start, pan, start, 600, 0.0);
    EXPECT_DOUBLE_EQ(c.pan_x, -1.0);
    EXPECT_DOUBLE_EQ(c.pan_y, -0.5);

    view_input_t reset;
    reset.reset = true;
    camera_t from;
    from.azimuth = 30;
    EXPECT_TRUE(camera_after(c, reset, from, 600, 0.0).azimuth == 30.0);
}

namespace {

struct still_scene_t : scene_t {
    void update() override {}
    void draw(screen_t&) const override {}
    void reproject(const screen_t&) override {}
};

}  // namespace

TEST(ViewControls, TheTitleNamesTheModelTheModesAndAMovedCamera) {
    screen_t screen(4, 4, 90.0f, screen_t::offscreen_tag{});
    still_scene_t scene;
    const camera_t start{};
    EXPECT_EQ(window_title("", screen, scene, start), "softcube");
    EXPECT_EQ(window_title("torus.obj", screen, scene, start), "softcube - torus.obj");
    scene.paused = true;
    EXPECT_EQ(window_title("", screen, scene, start), "softcube - cube [paused]");
    scene.camera.azimuth = -32;
    scene.camera.zoom = 1.21;
    screen.textured = 1;
    EXPECT_EQ(window_title("torus.obj", screen, scene, start),
              "softcube - torus.obj [textured, paused] azimuth -32.0 elevation 0.0 zoom 1.21");
}
