// Mode keys and the model window's title.
#include "viewer/mode_keys.h"

#include "surfaces/screen.h"
#include "window/keyboard.h"

bool apply_mode_keys(screen_t& screen, bool* paused) {
    bool changed = false;
    const auto toggle = [&](int scancode, int32_t& flag) {
        if (!rt::key_pressed(scancode)) return;
        flag = flag != 0 ? 0 : 1;
        changed = true;
    };
    toggle(rt::scancode_t, screen.textured);
    toggle(rt::scancode_w, screen.wireframe);
    toggle(rt::scancode_c, screen.cull_backfaces);
    toggle(rt::scancode_k, screen.clip_triangles);
    if (rt::key_pressed(rt::scancode_space)) {
        *paused = !*paused;
        changed = true;
    }
    return changed;
}

std::string model_window_title(const std::string& model_name, const screen_t& screen, bool paused) {
    std::string modes;
    const auto add = [&](bool on, const char* name) {
        if (on) modes += (modes.empty() ? "" : ", ") + std::string(name);
    };
    add(screen.textured != 0, "textured");
    add(screen.wireframe != 0, "wireframe");
    add(screen.cull_backfaces != 0, "cull");
    add(screen.clip_triangles != 0, "clip");
    add(paused, "paused");
    return "softcube - " + model_name + (modes.empty() ? "" : " [" + modes + "]");
}
