// The demo's projection and turning frame matrix, shared by the cube and the model scenes.
#include "app/turning_camera.h"

#include "surfaces/screen.h"

mat4_t demo_projection(const screen_t& screen) {
    const auto aspect = static_cast<float>(static_cast<long double>(screen.width) / screen.height);
    mat4_t projection;
    projection.perspective(screen.fov, aspect, 1.0f, 1000000.0f);
    return projection;
}

mat4_t turning_frame(const mat4_t& projection, double angle) {
    mat4_t translation;
    translation.translation(0.0f, 0.0f, 2.4f);
    const mat4_t rotation =
        mat4_t().rotation(static_cast<float>(angle), static_cast<float>(angle / 2.0), static_cast<float>(angle / 3.0));
    return multiply(projection, multiply(translation, rotation));
}
