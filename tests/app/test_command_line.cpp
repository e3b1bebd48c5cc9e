// Command-line parsing: accepted forms, limits and the errors for bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "app/command_line.h"
#include "app/thread_count.h"

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
         {"--bogus", "headless", "-x", "--frames", "--frames=", "--screenshot", "--screenshot=", "--headless=1",
          "--help=yes", "--threads=", "--model", "--model=", "--texture=", "--textured=1", "--opacity|0.5",
          "--benchmark|5|--frames|5", "--model|a.obj|--model|b.obj", "--model=a.obj|--model=a.obj"}},
        {"--frames|", {"0", "-1", "+3", " 3", "3 ", "1e3", "0x10", "4294967296", "99999999999999999999999999"}},
        {"--benchmark|", {"1000001", "2.5"}},
        {"--threads|", {"0", "-2", "257", "two"}},
        {"--model|m.obj|--opacity|", {"1", "1.0", "-0.1", "nan", "0.5x", ""}}};
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
    EXPECT_EQ(parse("--frames|x").error, "--frames needs a whole number from 1 to 4294967295, not 'x'");
    EXPECT_EQ(std::string(usage_text()).rfind("usage: softcube", 0), 0u);
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
        {"--model=m.obj|--opacity|.5|--opacity|2.5e-1", "m.obj", "", 0.25f, {false, false, false, false}},
        {"--textured|--cull", "", "", 0.75f, {true, false, true, false}},
        {"--wireframe|--clip|--texture|x.bmp", "", "x.bmp", 0.75f, {false, true, false, true}},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.typed);
        const auto p = parse(c.typed);
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_EQ(p.options.model, c.model);
        EXPECT_EQ(p.options.texture, c.texture);
        EXPECT_EQ(p.options.opacity, c.opacity);
        EXPECT_EQ(std::tuple(p.options.textured, p.options.wireframe, p.options.cull, p.options.clip), c.modes);
    }
    EXPECT_EQ(parse("--opacity|0.5").error, "--opacity applies to a model; give --model FILE");
    // One model is drawn, so a second is an error rather than a silent choice.
    EXPECT_EQ(parse("--model|a.obj|--textured|--model|b.gltf").error, "--model given twice; give one model file");
}
