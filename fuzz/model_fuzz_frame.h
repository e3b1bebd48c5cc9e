// The whole model path shared by the model fuzz targets: input written to a file, loaded, made a mesh and drawn.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "math/mat4.h"
#include "model/model_load.h"
#include "model/model_mesh.h"
#include "model/model_texture.h"
#include "surfaces/screen.h"
#include "surfaces/texture.h"

namespace model_fuzz {

// One scratch folder per fuzzing process, in memory where /dev/shm exists.
inline const std::string& scratch_folder() {
    static const std::string folder = [] {
        const char* base = std::getenv("SOFTCUBE_FUZZ_TMPDIR");
        if (base == nullptr || *base == '\0') base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/softcube-fuzz-model-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        return pattern;
    }();
    return folder;
}

// Writes the input as the named file, loads it with its texture, and draws one frame of the
// turning model on a small offscreen screen in the modes the input's length picks (and, by
// bit 4, whether named files are confined to the model's folder). A refused model must come
// with a one-line message naming the file. The file is removed again before
// returning (libFuzzer may end the process without exit handlers).
inline void run(const uint8_t* data, size_t size, const char* file_name) {
    const std::string path = scratch_folder() + "/" + file_name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || (size != 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) {
        std::abort();
    }
    model_t model;
    std::string error;
    model_limits_t limits;
    limits.max_vertices = 200000;  // keeps one frame of a fuzzed model short
    limits.max_triangles = 200000;
    // Bit 4 of the length confines the files the model names to its folder.
    limits.confine_to_model_folder = ((size >> 4) & 1) != 0;
    const bool loaded = load_model(path, &model, &error, limits);
    std::remove(path.c_str());
    if (!loaded) {
        // "FILE: what" or "FILE:LINE: what", on one line.
        if (error.rfind(path + ":", 0) != 0 || error.find('\n') != std::string::npos) std::abort();
        return;
    }
    std::string warning;
    std::unique_ptr<texture_t> texture = load_model_texture(model, "", &warning);
    if (texture == nullptr) texture = std::make_unique<texture_t>(1, 1, 32);
    const std::unique_ptr<mesh_t> mesh = make_mesh(model, default_model_opacity);

    static screen_t screen(64, 48, 90.0f, screen_t::offscreen_tag{});
    screen.set_fov(90.0f);
    screen.textured = static_cast<int32_t>(size & 1);
    screen.wireframe = static_cast<int32_t>((size >> 1) & 1);
    screen.cull_backfaces = static_cast<int32_t>((size >> 2) & 1);
    screen.clip_triangles = static_cast<int32_t>((size >> 3) & 1);
    mat4_t projection;
    projection.perspective(screen.fov, 64.0f / 48.0f, 1.0f, 1000000.0f);
    mat4_t translation;
    translation.translation(0.0f, 0.0f, 2.4f);
    const mat4_t rotation = mat4_t().rotation(0.5f, 0.25f, 0.125f);
    screen.clear(255, 0, 0, 16);
    screen.clear_zbuffer();
    mesh->render(screen, multiply(projection, multiply(translation, rotation)), *texture);
}

}  // namespace model_fuzz
