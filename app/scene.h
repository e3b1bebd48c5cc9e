// The three points at which the frame loop hands over to the scene.
#pragma once

struct screen_t;

// Once at start-up, after the field of view is set.
void scene_setup(screen_t& screen);
// Once per frame, before the framebuffer is locked.
void scene_update();
// Once per frame, after both buffers are cleared and before the overlay is printed.
void scene_draw(screen_t& screen);
