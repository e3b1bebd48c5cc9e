// A model becoming a mesh (mirrored z, normals turned inwards, opacity) and the texture it is drawn with.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "model/model_mesh.h"
#include "model/model_texture.h"
#include "model_files.h"
#include "runtime/screenshot.h"

TEST(ModelMesh, MirrorsZTurnsNormalsInwardsAndScalesOpacity) {
    model_t model;
    model.positions = {{0.5f, -1.0f, 0.25f, 1.0f}, {1.0f, 0.0f, -1.0f, 1.0f}, {0.0f, 1.0f, 1.0f, 1.0f}};
    model.normals = {{0.0f, 0.0f, 1.0f, 0.0f}, {0.6f, 0.8f, 0.0f, 0.0f}, {0.0f, -1.0f, 0.0f, 0.0f}};
    model.texcoords = {{0.0f, 1.0f, 0.0f, 0.0f}, {1.0f, 0.5f, 0.0f, 0.0f}, {0.25f, 0.0f, 0.0f, 0.0f}};
    model.colours = {{1.0f, 0.5f, 0.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 0.5f}, {1.0f, 1.0f, 1.0f, 0.0f}};
    model.indices = {0, 1, 2, 2, 1, 0};
    const auto mesh = make_mesh(model, 0.75f);
    ASSERT_EQ(std::vector<int32_t>(
                  {mesh->vertex_count, mesh->triangle_count, mesh->vertex_capacity, mesh->triangle_capacity}),
              std::vector<int32_t>({3, 2, 3, 2}));
    const vertex_t& v0 = mesh->vertices[0];
    expect_vec(v0.position, 0.5f, -1.0f, -0.25f, 1.0f);
    expect_vec(v0.normal, -0.0f, -0.0f, 1.0f, 0.0f);  // the file's +z front: lit (shade 1)
    expect_vec(v0.colour, 1.0f, 0.5f, 0.0f, 0.75f);
    expect_vec(v0.texcoord, 0.0f, 1.0f, 0.0f, 0.0f);
    expect_vec(mesh->vertices[1].position, 1.0f, 0.0f, 1.0f, 1.0f);
    expect_vec(mesh->vertices[1].normal, -0.6f, -0.8f, -0.0f, 0.0f);
    EXPECT_EQ(mesh->vertices[1].colour.w, 0.375f);
    EXPECT_EQ(mesh->vertices[2].colour.w, 0.0f);
    // (a, b, c) becomes (a, c, b): counter-clockwise front faces turn clockwise.
    EXPECT_EQ((std::vector<int32_t>{mesh->triangles[0].a, mesh->triangles[0].b, mesh->triangles[0].c,
                                    mesh->triangles[1].a, mesh->triangles[1].b, mesh->triangles[1].c}),
              (std::vector<int32_t>{0, 2, 1, 2, 0, 1}));
}

TEST(ModelTexture, PicturesFromFilesAndBytesOrAWarning) {
    scratch_folder_t folder;
    // A 3 x 2 PNG: top row red, green, blue; bottom row white, black, grey.
    const uint8_t bgra[] = {0,   0,   255, 255, 0, 255, 0, 255, 255, 0,   0,   255,
                            255, 255, 255, 255, 0, 0,   0, 255, 128, 128, 128, 255};
    const std::string png = folder.path("six.png");
    std::string why;
    ASSERT_TRUE(rt::write_picture(png, bgra, 3, 2, &why)) << why;
    // The same picture as an uncompressed 24-bit TGA stored bottom row first.
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = 3;
    tga[14] = 2;
    tga[16] = 24;
    for (const int row : {1, 0}) {
        for (int x = 0; x < 3; ++x) tga.append(reinterpret_cast<const char*>(bgra + (row * 3 + x) * 4), 3);
    }
    folder.write("six.tga", tga);
    // A plausible 2 x 2 PNG header followed by noise.
    folder.write("noise.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x02\0\0\0\x02\x08\x06\0\0\0", 29) +
                                  "this is not a picture at all, only text");
    // A PNG header that declares 100000 x 100000 texels: refused before decoding anything.
    std::string huge("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x86\xa0\x08\x06\0\0\0", 29);
    folder.write("huge.png", huge);

    struct case_t {
        const char* name;
        std::string model_path;
        std::string chosen;
        bool embedded;
        std::string warning;  // empty: loads
    };
    const case_t cases[] = {
        {"the model's PNG", png, "", false, ""},
        {"a chosen TGA over the model's own", folder.path("missing.png"), folder.path("six.tga"), false, ""},
        {"embedded bytes", "", "", true, ""},
        {"a missing file", folder.path("missing.png"), "", false, "missing.png: no such file"},
        {"an undecodable file", "", folder.path("noise.png"), false, "noise.png: cannot decode the picture"},
        {"a picture too large", "", folder.path("huge.png"), false, "huge.png: picture size out of range"},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.name);
        model_t model;
        model.texture_path = c.model_path;
        if (c.embedded) {
            std::ifstream in(png, std::ios::binary);
            model.texture_bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        std::string warning;
        const auto texture = load_model_texture(model, c.chosen, &warning);
        if (!c.warning.empty()) {
            EXPECT_EQ(texture, nullptr);
            EXPECT_NE(warning.find(c.warning), std::string::npos) << warning;
            EXPECT_EQ(warning.rfind("warning: texture ", 0), 0u) << warning;
            continue;
        }
        ASSERT_NE(texture, nullptr) << warning;
        EXPECT_EQ(warning, "");
        ASSERT_EQ(std::tuple(texture->width, texture->height, texture->depth), std::tuple(3u, 2u, 32u));
        // Texels as the renderer samples them: blue, green, red, transparency 0; top row first.
        std::vector<uint8_t> texels(bgra, bgra + 24);
        for (size_t i = 3; i < 24; i += 4) texels[i] = 0;
        EXPECT_EQ(std::vector<uint8_t>(texture->pixels, texture->pixels + 24), texels);
    }

    model_t plain;
    std::string warning;
    EXPECT_EQ(load_model_texture(plain, "", &warning), nullptr);
    EXPECT_EQ(warning, "");
}
