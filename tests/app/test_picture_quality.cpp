// The picture-quality options on the command line: their values, their errors, and the defaults of a thumbnail.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/picture_quality.h"

namespace {

parsed_command_line_t parse(std::vector<const char*> words) {
    words.insert(words.begin(), "softcube");
    return parse_command_line(static_cast<int>(words.size()), words.data());
}

}  // namespace

TEST(PictureQuality, OptionsAndTheirValues) {
    const parsed_command_line_t p =
        parse({"--edges", "watertight", "--ssaa=3", "--filter", "trilinear", "--lines", "--light", "-30.5,45"});
    ASSERT_TRUE(p.ok) << p.error;
    const picture_quality_t q = picture_quality_of(p.options, false, 800, 600);
    EXPECT_EQ(q.edges, edge_rule_t::watertight);
    EXPECT_EQ(q.ssaa, 3u);
    EXPECT_EQ(q.filter, texture_filter_t::trilinear);
    EXPECT_EQ(q.lines, line_mode_t::over_fill);
    EXPECT_EQ(q.light.x, light_from_angles(-30.5, 45.0).x);
    EXPECT_EQ(q.light.y, light_from_angles(-30.5, 45.0).y);
    // --lines and --lines-only are one option: the later wins.
    EXPECT_EQ(parse({"--lines", "--lines-only"}).options.lines, line_mode_t::only);
    EXPECT_EQ(parse({"--lines-only", "--lines"}).options.lines, line_mode_t::over_fill);
    // Nothing given: the demo's picture, with its own light bit for bit.
    const picture_quality_t plain = picture_quality_of(parse({}).options, false, 800, 600);
    EXPECT_EQ(plain.edges, edge_rule_t::spans);
    EXPECT_EQ(plain.ssaa, 1u);
    EXPECT_EQ(plain.filter, texture_filter_t::nearest);
    EXPECT_EQ(plain.lines, line_mode_t::none);
    EXPECT_EQ(std::vector<float>({plain.light.x, plain.light.y, plain.light.z, plain.light.w}),
              std::vector<float>({0.0f, 0.0f, 1.0f, 1.0f}));
    draw_state_t state;
    q.apply_to(state);
    EXPECT_EQ(state.edges, edge_rule_t::watertight);
    EXPECT_EQ(state.ssaa, 1u);  // the samples come with their memory, not here
}

TEST(PictureQuality, ThumbnailsTakeTheModelLookUnlessToldOtherwise) {
    const parsed_command_line_t p = parse({"--thumbnail", "256", "in.glb", "out.png"});
    ASSERT_TRUE(p.ok) << p.error;
    const picture_quality_t q = picture_quality_of(p.options, true, 256, 256);
    EXPECT_EQ(q.edges, edge_rule_t::watertight);
    EXPECT_EQ(q.ssaa, 2u);
    EXPECT_EQ(q.filter, texture_filter_t::linear);
    // Beyond 8192 a side the samples would not fit: one sample.
    EXPECT_EQ(picture_quality_of(p.options, true, 8193, 8193).ssaa, 1u);
    EXPECT_EQ(picture_quality_of(p.options, true, 8192, 8192).ssaa, 2u);
    const parsed_command_line_t own =
        parse({"--edges=spans", "--thumbnail", "64", "in.glb", "out.png", "--ssaa", "4", "--filter", "nearest",
               "--threads", "2", "--lines-only", "--light", "10,10"});
    ASSERT_TRUE(own.ok) << own.error;
    const picture_quality_t mine = picture_quality_of(own.options, true, 64, 64);
    EXPECT_EQ(mine.edges, edge_rule_t::spans);
    EXPECT_EQ(mine.ssaa, 4u);
    EXPECT_EQ(mine.filter, texture_filter_t::nearest);
    EXPECT_EQ(mine.lines, line_mode_t::only);
}

TEST(PictureQuality, BadValuesAreOneLineOfError) {
    const std::vector<std::pair<std::vector<const char*>, std::string_view>> bad = {
        {{"--edges", "tight"}, "--edges needs spans or watertight, not 'tight'"},
        {{"--edges="}, "--edges needs spans or watertight, not ''"},
        {{"--ssaa", "5"}, "--ssaa needs a whole number from 1 to 4, not '5'"},
        {{"--ssaa", "0"}, "--ssaa needs a whole number from 1 to 4, not '0'"},
        {{"--filter", "cubic"}, "--filter needs nearest, linear or trilinear, not 'cubic'"},
        {{"--lines=1"}, "option '--lines' takes no value"},
        {{"--light", "10"}, "--light needs AZ,EL in degrees (the elevation -90 to 90), not '10'"},
        {{"--light", "10,91"}, "--light needs AZ,EL in degrees (the elevation -90 to 90), not '10,91'"},
        {{"--light", "nan,0"}, "--light needs AZ,EL in degrees (the elevation -90 to 90), not 'nan,0'"},
        {{"--light", "1,2,3"}, "--light needs AZ,EL in degrees (the elevation -90 to 90), not '1,2,3'"},
        {{"--size", "5000x4000", "--ssaa", "4"},
         "--ssaa 4 draws 20000 samples along a side of 5000 pixels; at most 16384 are possible"},
        {{"--thumbnail", "8193", "a.obj", "b.png", "--ssaa", "2"},
         "--ssaa 2 draws 16386 samples along a side of 8193 pixels; at most 16384 are possible"},
        {{"--thumbnail", "64", "a.obj", "b.png", "--cull"},
         "--thumbnail SIZE INPUT OUTPUT takes no other option but --threads, --edges, --ssaa, --filter, --lines, "
         "--lines-only and --light"},
    };
    for (const auto& [words, error] : bad) {
        const parsed_command_line_t p = parse(words);
        EXPECT_FALSE(p.ok) << error;
        EXPECT_EQ(p.error, error);
    }
    // The sample limit is 16384 a side exactly.
    EXPECT_TRUE(parse({"--size", "4096x4096", "--ssaa", "4"}).ok);
    const std::string help = help_text();
    for (const char* option : {"--edges RULE", "--ssaa N", "--filter F", "--lines ", "--lines-only", "--light AZ,EL"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    EXPECT_LT(help.find("--light AZ,EL"), help.find("Camera ("));  // under Picture
}
