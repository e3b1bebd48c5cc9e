// The model window's title naming the modes that are on, and mode keys without a window.
#include <gtest/gtest.h>

#include "surfaces/screen.h"
#include "viewer/mode_keys.h"

TEST(ModeKeys, TitleNamesTheModelAndTheModesThatAreOn) {
    screen_t screen(4, 4, 90.0f, screen_t::offscreen_tag{});
    EXPECT_EQ(model_window_title("torus.obj", screen, false), "softcube - torus.obj");
    screen.textured = 1;
    screen.clip_triangles = 1;
    EXPECT_EQ(model_window_title("torus.obj", screen, false), "softcube - torus.obj [textured, clip]");
    screen.wireframe = 1;
    screen.cull_backfaces = 1;
    EXPECT_EQ(model_window_title("h.gltf", screen, true),
              "softcube - h.gltf [textured, wireframe, cull, clip, paused]");
    screen.textured = screen.wireframe = screen.cull_backfaces = screen.clip_triangles = 0;
    EXPECT_EQ(model_window_title("h.gltf", screen, true), "softcube - h.gltf [paused]");

    // Without a window no key is pressed: nothing changes.
    bool paused = true;
    EXPECT_FALSE(apply_mode_keys(screen, &paused));
    EXPECT_TRUE(paused);
    EXPECT_EQ(screen.textured + screen.wireframe + screen.cull_backfaces + screen.clip_triangles, 0);
}
