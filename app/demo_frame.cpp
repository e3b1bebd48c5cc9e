// The demo's frame sequence, shared by the program's frame loop and the frame benchmarks.
#include "app/demo_frame.h"

#include "app/overlay.h"
#include "surfaces/screen.h"

void start_demo_frame(scene_t& scene, screen_t& screen) {
    scene.update();
    screen.clear_frame(255, 0, 0, 16);
}

std::string draw_demo_frame(scene_t& scene, const framestats_t& stats, screen_t& screen) {
    start_demo_frame(scene, screen);
    scene.draw(screen);
    return print_overlay(stats, screen);
}
