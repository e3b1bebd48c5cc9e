// A program made of the platform-free layers alone: a shaded triangle rendered into an offscreen target on two threads.
#include <cstdio>

#include "base/thread_pool.h"
#include "mesh/mesh.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"

int main() {
    screen_t screen(64, 48, 90.0f, screen_t::offscreen_tag{});
    base::thread_pool_t pool(2);
    screen.threads = &pool;
    const texture_t texture(1, 1, 32);
    mesh_t mesh(3, 1);
    const vec4_t colour(1.0f, 0.5f, 0.25f, 0.5f), normal(0.0f, 0.0f, 1.0f, 0.0f);
    mesh.add_vertex(vertex_t(vec4_t(-0.5f, 0.5f, 0.5f, 1.0f), colour, normal));
    mesh.add_vertex(vertex_t(vec4_t(0.5f, 0.5f, 0.5f, 1.0f), colour, normal));
    mesh.add_vertex(vertex_t(vec4_t(0.0f, -0.5f, 0.5f, 1.0f), colour, normal));
    mesh.add_triangle(0, 1, 2);
    screen.clear_frame(255, 0, 0, 16);
    mesh.render(screen, mat4_t().identity(), texture);
    std::printf("%u triangle, %u pixels\n", screen.triangle_count, screen.pixel_count);
    return screen.triangle_count == 1 && screen.pixel_count > 0 ? 0 : 1;
}
