// The library's interface: the demo's bits, backgrounds and their alpha, meshes from arrays and their refusals,
// and PNG files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>

#include "runtime/image.h"
#include "runtime/picture.h"
#include "softcube/softcube.h"

namespace {

const std::string golden_frame = std::string(SOFTCUBE_SOURCE_DIR) + "/tests/app/golden/frame100.png";
const std::string torus = std::string(SOFTCUBE_SOURCE_DIR) + "/assets/models/torus.obj";

// A square pyramid's arrays: four sides and a base.
softcube::mesh_arrays pyramid() {
    softcube::mesh_arrays a;
    a.positions = {0, 1, 0, -1, -1, -1, 1, -1, -1, 1, -1, 1, -1, -1, 1};
    a.indices = {0, 2, 1, 0, 3, 2, 0, 4, 3, 0, 1, 4, 1, 2, 3, 1, 3, 4};
    return a;
}

uint8_t alpha_at(const softcube::image& img, int x, int y) {
    return img.pixels[(size_t(y) * size_t(img.width) + size_t(x)) * 4 + 3];
}

std::string what_of(const std::function<void()>& f) {
    try {
        f();
    } catch (const softcube::error& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(Library, TheCubesFrameIsTheDemosFrameBelowTheStatisticsLine) {
    softcube::render_options o;
    o.frame = 100;
    o.threads = 2;
    const softcube::image cube = softcube::render_cube(o);
    ASSERT_EQ(std::pair(cube.width, cube.height), std::pair(800, 600));
    std::string why;
    rt::image_t* golden = rt::picture_load(golden_frame.c_str(), &why);
    ASSERT_NE(golden, nullptr) << why;
    const rt::image_info_t g = rt::image_query(golden);
    size_t differing = 0;
    for (int y = 8; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            const uint8_t* want = g.pixels + size_t(y) * size_t(g.pitch) + size_t(x) * 4;  // blue, green, red
            const uint8_t* got = &cube.pixels[(size_t(y) * 800 + size_t(x)) * 4];          // red, green, blue
            differing += got[0] != want[2] || got[1] != want[1] || got[2] != want[0] || got[3] != 255;
        }
    }
    rt::image_destroy(golden);
    EXPECT_EQ(differing, 0u);
}

TEST(Library, BackgroundAlphaIsCoverage) {
    const softcube::model m = softcube::load_model(torus);
    EXPECT_EQ(m.triangle_count(), 1024u);
    EXPECT_TRUE(m.has_texture());
    softcube::render_options o;
    o.width = 96;
    o.height = 64;
    o.opacity = 1;
    o.background = {0, 0, 0, 0};
    softcube::renderer one(1);
    const softcube::image transparent = one.render(m, o);
    EXPECT_EQ(alpha_at(transparent, 0, 0), 0);
    EXPECT_EQ(alpha_at(transparent, 48, 10), 255);  // the opaque torus
    EXPECT_EQ(alpha_at(transparent, 48, 32), 0);    // its hole
    // Half-transparent background: laid under the picture with its alpha.
    o.background = {255, 0, 0, 128};
    const softcube::image half = one.render(m, o);
    EXPECT_EQ(std::vector<uint8_t>(half.pixels.begin(), half.pixels.begin() + 4),
              (std::vector<uint8_t>{255, 0, 0, 128}));
    EXPECT_EQ(alpha_at(half, 48, 10), 255);
}

TEST(Library, MeshesFromArraysAndWhatTheyRefuse) {
    softcube::mesh_arrays a = pyramid();
    a.colours = {1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 1, 1};
    const softcube::model m = softcube::make_model(a);
    EXPECT_EQ(std::pair(m.vertex_count(), m.triangle_count()), std::pair(size_t{5}, size_t{6}));
    softcube::render_options o;
    o.width = o.height = 32;
    o.background = {0, 0, 0, 0};
    o.opacity = 1;
    o.elevation = 30;
    const softcube::image img = softcube::render(m, o);
    EXPECT_EQ(alpha_at(img, 16, 16), 255);
    EXPECT_EQ(alpha_at(img, 0, 0), 0);

    const auto refused = [](softcube::mesh_arrays arrays) { return what_of([&] { softcube::make_model(arrays); }); };
    softcube::mesh_arrays bad = pyramid();
    bad.indices[4] = 5;
    EXPECT_EQ(refused(bad), "index 4 is 5, but there are only 5 vertices");
    bad = pyramid();
    bad.positions.pop_back();
    EXPECT_NE(refused(bad).find("positions need x, y, z"), std::string::npos);
    bad = pyramid();
    bad.positions[3] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_NE(refused(bad), "");
    bad = pyramid();
    bad.indices.pop_back();
    EXPECT_NE(refused(bad).find("three vertex numbers"), std::string::npos);
    bad = pyramid();
    bad.normals = {0, 1, 0};
    EXPECT_NE(refused(bad).find("normals holds 3 numbers; 5 vertices need 15"), std::string::npos);
    bad = pyramid();
    bad.texture = {1, 2, 3};
    bad.texture_width = bad.texture_height = 1;
    EXPECT_NE(refused(bad).find("texture"), std::string::npos);
    bad = pyramid();
    bad.colours = std::vector<float>(15, 0.5f);
    bad.colours[7] = 1.2f;
    EXPECT_NE(refused(bad).find("colour value 7 is 1.2"), std::string::npos);
    bad = pyramid();
    for (float& p : bad.positions) p = 1;  // every vertex at one point
    EXPECT_NE(refused(bad), "");

    softcube::render_options too_big;
    too_big.width = 16385;
    EXPECT_NE(what_of([&] { softcube::render(m, too_big); }).find("16 to 16384"), std::string::npos);
    EXPECT_NE(what_of([] { softcube::load_model("missing.obj"); }).find("missing.obj"), std::string::npos);
    EXPECT_NE(what_of([] { softcube::render(softcube::model{}); }), "");
}

TEST(Library, PngFilesKeepAlphaAndRefuseWhatCannotBeWritten) {
    const std::string path = (std::filesystem::temp_directory_path() / "softcube_library_test.png").string();
    softcube::image img;
    img.width = 2;
    img.height = 1;
    img.pixels = {10, 20, 30, 255, 40, 50, 60, 0};
    softcube::save_png(img, path);
    std::string why;
    rt::image_t* read = rt::picture_load(path.c_str(), &why);
    ASSERT_NE(read, nullptr) << why;
    const rt::image_info_t info = rt::image_query(read);
    EXPECT_EQ(std::vector<uint8_t>(info.pixels, info.pixels + 8),
              (std::vector<uint8_t>{30, 20, 10, 255, 60, 50, 40, 0}));
    rt::image_destroy(read);
    std::filesystem::remove(path);
    img.pixels.pop_back();
    EXPECT_NE(what_of([&] { softcube::save_png(img, path); }), "");
    img.pixels.push_back(0);
    EXPECT_NE(what_of([&] { softcube::save_png(img, "/nonexistent-folder/x.png"); }).find("cannot write"),
              std::string::npos);
    EXPECT_STREQ(softcube::version(), SOFTCUBE_VERSION_TEXT);
}
