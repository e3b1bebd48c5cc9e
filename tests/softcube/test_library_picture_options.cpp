// The library's picture options: a model's automatic look, the cube's demo picture, bad values refused.
#include <gtest/gtest.h>

#include <string>

#include "softcube/softcube.h"

namespace {

const std::string torus = std::string(SOFTCUBE_SOURCE_DIR) + "/assets/models/torus.obj";

softcube::render_options small() {
    softcube::render_options o;
    o.width = 80;
    o.height = 60;
    o.frame = 33;
    o.threads = 1;
    return o;
}

std::string what_of(const softcube::render_options& o) {
    try {
        softcube::render_cube(o);
    } catch (const softcube::error& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(LibraryPictureOptions, ModelsTakeTheModelLookAndTheCubeTheDemosPicture) {
    const softcube::model m = softcube::load_model(torus);
    softcube::render_options look = small();
    look.edges = softcube::edge_rule::watertight;
    look.ssaa = 2;
    look.filter = softcube::texture_filter::linear;
    softcube::render_options demo = small();
    demo.edges = softcube::edge_rule::spans;
    demo.ssaa = 1;
    demo.filter = softcube::texture_filter::nearest;
    const softcube::image automatic = softcube::render(m, small());
    EXPECT_EQ(automatic.pixels, softcube::render(m, look).pixels);
    EXPECT_NE(automatic.pixels, softcube::render(m, demo).pixels);
    EXPECT_EQ(softcube::render_cube(small()).pixels, softcube::render_cube(demo).pixels);
    EXPECT_NE(softcube::render_cube(small()).pixels, softcube::render_cube(look).pixels);
    // A side above 8192 leaves the automatic samples at one: 2 x 2 would not fit a target.
    softcube::render_options wide = small();
    wide.width = 8193;
    wide.height = 16;
    softcube::render_options wide_demo = wide;
    wide_demo.ssaa = 1;
    EXPECT_EQ(softcube::render(m, wide).pixels, softcube::render(m, wide_demo).pixels);
}

TEST(LibraryPictureOptions, EachOptionChangesThePictureAndRefusesWhatItCannotDo) {
    const softcube::image plain = softcube::render_cube(small());
    softcube::render_options o = small();
    o.lines = softcube::line_mode::only;
    EXPECT_NE(softcube::render_cube(o).pixels, plain.pixels);
    o = small();
    o.light_azimuth = 0;
    o.light_elevation = 0;
    EXPECT_EQ(softcube::render_cube(o).pixels, plain.pixels);  // the demo's light, bit for bit
    o.light_azimuth = -40;
    EXPECT_NE(softcube::render_cube(o).pixels, plain.pixels);

    o = small();
    o.ssaa = 5;
    EXPECT_EQ(what_of(o), "ssaa must be 0 (automatic) or 1 to 4, not 5");
    o.ssaa = -1;
    EXPECT_EQ(what_of(o), "ssaa must be 0 (automatic) or 1 to 4, not -1");
    o = small();
    o.width = 4097;
    o.ssaa = 4;
    EXPECT_EQ(what_of(o), "ssaa 4 draws 16388 samples along a side; at most 16384 are possible");
    o = small();
    o.light_elevation = -90.5;
    EXPECT_EQ(what_of(o), "the light's elevation must be -90 to 90 degrees");
    o = small();
    o.edges = static_cast<softcube::edge_rule>(7);
    EXPECT_EQ(what_of(o), "the edge rule must be automatic, spans or watertight");
    o = small();
    o.filter = static_cast<softcube::texture_filter>(-1);
    EXPECT_EQ(what_of(o), "the texture filter must be automatic, nearest, linear or trilinear");
    o = small();
    o.lines = static_cast<softcube::line_mode>(3);
    EXPECT_EQ(what_of(o), "the lines must be none, over or only");
}
