// The demo's frame sequence, shared by the program's frame loop and the frame benchmarks.
#include "scene/demo_frame.h"

#include "scene/overlay.h"

#include <new>
#include "surfaces/screen.h"

namespace {

// A transparent background is drawn over black; its picture takes its alpha from a second
// drawing over white (compose_transparent), not from the alpha bytes, which the blend of the
// colour channels never reads.
void clear_to(screen_t& screen, const background_t& background) {
    if (background.transparent) {
        screen.clear_frame(255, 0, 0, 0);
    } else {
        screen.clear_frame(255, background.red, background.green, background.blue);
    }
}

}  // namespace

void start_demo_frame(scene_t& scene, screen_t& screen, const background_t& background) {
    scene.update();
    clear_to(screen, background);
}

std::string draw_demo_frame(scene_t& scene, const framestats_t& stats, screen_t& screen, const frame_look_t& look) {
    start_demo_frame(scene, screen, look.background);
    scene.draw(screen);
    return look.overlay ? print_overlay(stats, screen) : overlay_text(stats, screen);
}

bool transparent_picture(const scene_t& scene, const framestats_t& stats, screen_t& screen, const frame_look_t& look,
                         std::vector<uint8_t>& picture) {
    const size_t pixels = size_t{screen.width} * screen.height;
    try {
        picture.assign(screen.framebuffer, screen.framebuffer + pixels * 4);
    } catch (const std::bad_alloc&) {
        return false;
    }
    screen.clear_frame(255, 255, 255, 255);
    scene.draw(screen);
    if (look.overlay) print_overlay(stats, screen);
    compose_transparent(picture.data(), screen.framebuffer, pixels, picture.data());
    return true;
}
