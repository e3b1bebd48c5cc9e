// The demo's frame sequence, shared by the program's frame loop and the frame benchmarks.
#include "scene/demo_frame.h"

#include <new>

#include "base/thread_pool.h"
#include "scene/overlay.h"
#include "surfaces/sample_average.h"
#include "surfaces/screen.h"

namespace {

// Below this many rows the average is not worth waking the workers for.
constexpr uint64_t parallel_average_rows = 16;

// Where the scene is drawn: the screen's samples when it is supersampled, taking its draw
// state and threads, else the screen itself.
screen_t& drawing_target(screen_t& screen) {
    if (screen.ssaa <= 1 || screen.samples == nullptr) return screen;
    screen_t& samples = *screen.samples;
    static_cast<draw_state_t&>(samples) = screen;
    samples.ssaa = 1;
    samples.threads = screen.threads;
    return samples;
}

// A transparent background is drawn over black; its picture takes its alpha from a second
// drawing over white (compose_transparent), not from the alpha bytes, which the blend of the
// colour channels never reads.
void clear_to(screen_t& screen, const background_t& background) {
    screen_t& target = drawing_target(screen);
    if (background.transparent) {
        target.clear_frame(255, 0, 0, 0);
    } else {
        target.clear_frame(255, background.red, background.green, background.blue);
    }
    screen.reset_counters();
}

}  // namespace

void start_demo_frame(scene_t& scene, screen_t& screen, const background_t& background) {
    scene.update();
    clear_to(screen, background);
}

void draw_scene(const scene_t& scene, screen_t& screen) {
    screen_t& target = drawing_target(screen);
    scene.draw(target);
    if (&target == &screen) return;
    base::for_each_share(screen.threads, screen.height, parallel_average_rows, [&](uint64_t first, uint64_t end) {
        average_samples(target, screen, screen.ssaa, first, end);
    });
    screen.triangle_count = target.triangle_count;
    screen.pixel_count = pixels_of_samples(target.pixel_count, screen.ssaa);
}

std::string draw_demo_frame(scene_t& scene, const framestats_t& stats, screen_t& screen, const frame_look_t& look) {
    start_demo_frame(scene, screen, look.background);
    draw_scene(scene, screen);
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
    clear_to(screen, background_t{255, 255, 255, false});
    draw_scene(scene, screen);
    if (look.overlay) print_overlay(stats, screen);
    compose_transparent(picture.data(), screen.framebuffer, pixels, picture.data());
    return true;
}
