// A thumbnail of a model with the softcube library: thumbnail MODEL OUTPUT.png [SIZE]
#include <softcube/softcube.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: thumbnail MODEL OUTPUT.png [SIZE]\n");
        return 2;
    }
    try {
        const softcube::model model = softcube::load_model(argv[1]);
        softcube::render_options options;
        options.width = options.height = argc > 3 ? std::atoi(argv[3]) : 256;
        options.azimuth = 35;               // a three-quarter view,
        options.elevation = 25;             // from a little above
        options.opacity = 1;                // opaque surfaces
        options.background = {0, 0, 0, 0};  // transparent where the model is not
        softcube::save_png(softcube::render(model, options), argv[2]);
        std::printf("%s: %zu triangles, softcube %s\n", argv[2], model.triangle_count(), softcube::version());
    } catch (const softcube::error& e) {
        std::fprintf(stderr, "thumbnail: %s\n", e.what());
        return 1;
    }
    return 0;
}
