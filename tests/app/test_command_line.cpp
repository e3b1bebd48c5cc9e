// Command-line parsing: accepted forms, limits and the errors for bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "app/command_line.h"
#include "app/thread_count.h"
#include "scene/background.h"

namespace {

// Parses the arguments as typed after "softcube", separated by '|' (so that an argument may be
// empty or hold spaces); the typed text names a table row in a failure.
parsed_command_line_t parse(std::string_view typed) {
    std::vector<std::string> words;
    for (size_t start = 0; !typed.empty() && start <= typed.size();) {
        const size_t end = std::min(typed.find('|', start), typed.size());
        words.emplace_back(typed.substr(start, end - start));
        start = end + 1;
    }
    std::vector<const char*> args{"softcube"};
    for (const std::string& w : words) args.push_back(w.c_str());
    return parse_command_line(static_cast<int>(args.size()), args.data());
}

}  // namespace

TEST(CommandLine, SwitchesWithSeparateOrAttachedValues) {
    // help, headless, frames, screenshot, benchmark; the last of a repeated switch wins.
    const std::vector<std::pair<std::string_view, std::tuple<bool, bool, uint64_t, std::string, uint32_t>>> good = {
        {"", {false, false, 0, "", 0}},
        {"--headless|--frames|3|--screenshot|out.png", {false, true, 3, "out.png", 0}},
        {"--frames=4294967295|--screenshot=a=b.bmp", {false, false, 4294967295u, "a=b.bmp", 0}},
        {"--benchmark|1000000|--headless", {false, true, 0, "", 1000000}},
        {"--frames|5|--frames|7", {false, false, 7, "", 0}},
        {"--help", {true, false, 0, "", 0}},
        {"-h", {true, false, 0, "", 0}}};
    for (const auto& [typed, expected] : good) {
        SCOPED_TRACE(typed);
        const auto p = parse(typed);
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_EQ(
            std::tuple(p.options.help, p.options.headless, p.options.frames, p.options.screenshot, p.options.benchmark),
            expected);
    }
}

TEST(CommandLine, BadInputIsOneLineOfError) {
    // Each option's bad values follow it; a row without an option holds whole command lines.
    const std::pair<std::string, std::vector<std::string_view>> bad[] = {
        {"",
         {"--bogus",
          "-x",
          "--frames",
          "--frames=",
          "--screenshot",
          "--screenshot=",
          "--headless=1",
          "--help=yes",
          "--threads=",
          "--model",
          "--model=",
          "--texture=",
          "--textured=1",
          "--opacity|0.5",
          "--benchmark|5|--frames|5",
          "a.obj|b.obj",
          "--model|a.obj|--model|b.obj",
          "--no-overlay=1",
          "--headless|",
          "--every|2",
          "--screenshot|x.png|--every|2",
          "--turntable|8|--frames|8",
          "--thumbnail|64|a.obj",
          "--thumbnail|64|a.obj|b.png|--size|8x8",
          "a.obj|--thumbnail|64|a.obj|b.png",
          "--output-dir|d|a.obj|--screenshot|x.png",
          "--background|transparent|--screenshot|x.bmp"}},
        {"--frames|", {"0", "-1", "+3", " 3", "3 ", "1e3", "0x10", "4294967296", "99999999999999999999999999"}},
        {"--benchmark|", {"1000001", "2.5"}},
        {"--threads|", {"0", "-2", "257", "two"}},
        {"--model|m.obj|--opacity|", {"1.01", "-0.1", "nan", "0.5x", ""}},
        {"--size|", {"15x600", "800x16385", "800", "800x", "x600", "800x600x2", "-800x600", "0x0", "1e3x600"}},
        {"--background|", {"#12345", "#1234567", "#gg0000", "1,2", "1,2,3,4", "256,0,0", "-1,0,0", "blue", ""}},
        {"--azimuth|", {"inf", "nan", "1e7", "ten", ""}},
        {"--elevation|", {"90", "-89.5", "1000"}},
        {"--zoom|", {"0", "0.001", "101", "-1"}},
        {"--frame|", {"-1", "4294967296", "x"}},
        {"--every|", {"0", "1.5"}},
        {"--turntable|", {"0", "1000001"}},
        {"--thumbnail|", {"15|a.obj|b.png", "16385|a.obj|b.png", "big|a.obj|b.png", "64||b.png"}}};
    for (const auto& [option, values] : bad) {
        for (const std::string_view value : values) {
            const std::string typed = option + std::string(value);
            SCOPED_TRACE(typed);
            const auto p = parse(typed);
            EXPECT_FALSE(p.ok);
            EXPECT_NE(p.error, "");
            EXPECT_EQ(p.error.find('\n'), std::string::npos);
        }
    }
    EXPECT_EQ(parse("--bogus").error, "unknown option '--bogus'");
    EXPECT_EQ(parse("--x\ny\x7f").error, "unknown option '--x\\x0ay\\x7f'");  // still one line
    EXPECT_EQ(parse("--frames|x").error, "--frames needs a whole number from 1 to 4294967295, not 'x'");
    EXPECT_EQ(std::string(help_text()).rfind("usage: softcube", 0), 0u);
}

TEST(CommandLine, ThreadCountFromTheOptionTheEnvironmentOrTheCores) {
    EXPECT_EQ(parse("--threads|1").options.threads, 1u);
    EXPECT_EQ(parse("--threads=256").options.threads, 256u);
    EXPECT_EQ(parse("").options.threads, 0u);
    EXPECT_EQ(parse("--threads|300").error, "--threads needs a whole number from 1 to 256, not '300'");
    struct row_t {
        const char* name;
        uint32_t option;
        const char* environment;
        uint32_t cores;
        uint32_t threads;  // 0: an error
    };
    const row_t rows[] = {{"option wins", 3, "5", 2, 3},
                          {"environment wins over the cores", 0, "5", 2, 5},
                          {"the environment's limit", 0, "256", 2, 256},
                          {"unset: every core", 0, nullptr, 6, 6},
                          {"empty counts as unset", 0, "", 2, 2},
                          {"more cores than the limit", 0, nullptr, 1000, 256},
                          {"no core reported", 0, nullptr, 0, 1},
                          {"zero", 0, "0", 2, 0},
                          {"negative", 0, "-1", 2, 0},
                          {"above the limit", 0, "257", 2, 0},
                          {"far above the limit", 0, "99999999999999999999", 2, 0},
                          {"not a number", 0, "all", 2, 0},
                          {"trailing space", 0, "4 ", 2, 0},
                          {"a bad environment is ignored under the option", 2, "x", 8, 2}};
    for (const row_t& r : rows) {
        SCOPED_TRACE(r.name);
        const thread_choice_t c = choose_thread_count(r.option, r.environment, r.cores);
        EXPECT_EQ(c.ok, r.threads != 0);
        if (r.threads != 0) {
            EXPECT_EQ(c.threads, r.threads);
        } else {
            EXPECT_EQ(c.error,
                      "SOFTCUBE_THREADS needs a whole number from 1 to 256, not '" + std::string(r.environment) + "'");
        }
    }
}

TEST(CommandLine, ModelTextureOpacityAndStartingModes) {
    struct case_t {
        std::string_view typed;
        std::string model, texture;
        float opacity;
        std::tuple<bool, bool, bool, bool> modes;  // textured, wireframe, cull, clip
    };
    const case_t cases[] = {
        {"", "", "", 0.75f, {false, false, false, false}},
        {"--model|a b.obj|--texture=t.png", "a b.obj", "t.png", 0.75f, {false, false, false, false}},
        {"--model=m.glb|--opacity|0", "m.glb", "", 0.0f, {false, false, false, false}},
        {"--model=m.glb|--opacity=0.999", "m.glb", "", 0.999f, {false, false, false, false}},
        {"m.glb|--opacity|1", "m.glb", "", 1.0f, {false, false, false, false}},
        {"--model=m.obj|--opacity|.5|--opacity|2.5e-1", "m.obj", "", 0.25f, {false, false, false, false}},
        {"--textured|--cull", "", "", 0.75f, {true, false, true, false}},
        {"--wireframe|--clip|--texture|x.bmp", "", "x.bmp", 0.75f, {false, true, false, true}},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.typed);
        const auto p = parse(c.typed);
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_EQ(p.options.models, c.model.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.model});
        EXPECT_EQ(p.options.texture, c.texture);
        EXPECT_EQ(p.options.opacity, c.opacity);
        EXPECT_EQ(std::tuple(p.options.textured, p.options.wireframe, p.options.cull, p.options.clip), c.modes);
    }
    EXPECT_EQ(parse("--opacity|0.5").error, "--opacity applies to a model; give a model file");
}

TEST(CommandLine, PictureCameraAndOutputOptions) {
    const auto p = parse(
        "--size|1024x16|--background|#10Ff00|--no-overlay|--azimuth|-30.5|--elevation|89|--zoom|2.5|--frame|0|"
        "--headless|--screenshot|out_{frame:04}.png|--every|5");
    ASSERT_TRUE(p.ok) << p.error;
    const options_t& o = p.options;
    EXPECT_EQ(std::tuple(o.width, o.height, o.size_given, o.overlay), std::tuple(1024u, 16u, true, false));
    EXPECT_EQ(std::tuple(o.background.red, o.background.green, o.background.blue, o.background.transparent),
              std::tuple(0x10, 0xff, 0x00, false));
    EXPECT_EQ(std::tuple(o.camera.azimuth, o.camera.elevation, o.camera.zoom), std::tuple(-30.5, 89.0, 2.5));
    EXPECT_EQ(std::tuple(o.first_frame, o.frame_given, o.every), std::tuple(uint64_t{0}, true, uint64_t{5}));

    // Defaults: the demo's picture and camera.
    const options_t d = parse("").options;
    EXPECT_EQ(std::tuple(d.width, d.height, d.overlay, d.first_frame, d.frame_given),
              std::tuple(800u, 600u, true, uint64_t{1}, false));
    EXPECT_EQ(background_text(d.background), "#000010");
    EXPECT_TRUE(d.camera.is_default());

    // Backgrounds in every notation.
    for (const auto& [typed, text] : {std::pair("255,0,128", "#ff0080"),
                                      {"demo", "#000010"},
                                      {"black", "#000000"},
                                      {"white", "#ffffff"},
                                      {"grey", "#808080"},
                                      {"transparent", "transparent"}}) {
        EXPECT_EQ(background_text(parse("--background|" + std::string(typed)).options.background), text) << typed;
    }

    // Plain arguments are models; several need an output folder, which takes them in order.
    const auto batch = parse("a.obj|--output-dir=out|--model|b.glb|c.gltf");
    ASSERT_TRUE(batch.ok) << batch.error;
    EXPECT_EQ(batch.options.models, (std::vector<std::string>{"b.glb", "a.obj", "c.gltf"}));
    EXPECT_EQ(batch.options.output_dir, "out");

    const auto thumbnail = parse("--threads|2|--thumbnail|256|in.glb|out.png");
    ASSERT_TRUE(thumbnail.ok) << thumbnail.error;
    EXPECT_EQ(std::tuple(thumbnail.options.thumbnail_size, thumbnail.options.thumbnail_input,
                         thumbnail.options.thumbnail_output, thumbnail.options.threads),
              std::tuple(256u, std::string("in.glb"), std::string("out.png"), 2u));

    EXPECT_EQ(parse("--turntable|36").options.turntable, 36u);
    EXPECT_TRUE(parse("--version").options.version);
    EXPECT_EQ(parse("--model|a.obj|--model|b.obj").error, "--model names one model; give several as plain arguments");
    EXPECT_EQ(parse("--size|8x8").error, "--size needs WIDTHxHEIGHT, each from 16 to 16384, not '8x8'");
}
