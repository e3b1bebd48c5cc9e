// A model in a window with the softcube library's window component: viewer MODEL
#include <softcube/window.h>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: viewer MODEL\n");
        return 2;
    }
    try {
        softcube::render_options options;
        options.opacity = 1;
        softcube::view(softcube::load_model(argv[1]), options);  // until the window is closed
    } catch (const softcube::error& e) {
        std::fprintf(stderr, "viewer: %s\n", e.what());
        return 1;
    }
    return 0;
}
