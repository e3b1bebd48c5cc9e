// Command-line parsing: accepted forms, limits and the errors for bad input.
#include <gtest/gtest.h>

#include <vector>

#include "app/command_line.h"

namespace {

parsed_command_line_t parse(std::vector<const char*> args) {
    args.insert(args.begin(), "softcube");
    return parse_command_line(static_cast<int>(args.size()), args.data());
}

}  // namespace

TEST(CommandLine, NoArgumentsIsThePlainDemo) {
    const auto p = parse({});
    ASSERT_TRUE(p.ok);
    EXPECT_FALSE(p.options.help);
    EXPECT_FALSE(p.options.headless);
    EXPECT_EQ(p.options.frames, 0u);
    EXPECT_EQ(p.options.screenshot, "");
    EXPECT_EQ(p.options.benchmark, 0u);
}

TEST(CommandLine, SwitchesWithSeparateOrAttachedValues) {
    auto p = parse({"--headless", "--frames", "3", "--screenshot", "out.png"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_TRUE(p.options.headless);
    EXPECT_EQ(p.options.frames, 3u);
    EXPECT_EQ(p.options.screenshot, "out.png");

    p = parse({"--frames=4294967295", "--screenshot=a=b.bmp"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.frames, 4294967295u);
    EXPECT_EQ(p.options.screenshot, "a=b.bmp");

    p = parse({"--benchmark", "1000000", "--headless"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.benchmark, 1000000u);

    p = parse({"--frames", "5", "--frames", "7"});  // the last one wins
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.frames, 7u);

    EXPECT_TRUE(parse({"--help"}).options.help);
    EXPECT_TRUE(parse({"-h"}).options.help);
}

TEST(CommandLine, BadInputIsOneLineOfError) {
    const std::vector<std::vector<const char*>> bad = {
        {"--bogus"},
        {"headless"},
        {"-x"},
        {"--frames"},
        {"--frames", "0"},
        {"--frames", "-1"},
        {"--frames", "+3"},
        {"--frames", " 3"},
        {"--frames", "3 "},
        {"--frames", "1e3"},
        {"--frames", "0x10"},
        {"--frames", "4294967296"},
        {"--frames", "99999999999999999999999999"},
        {"--frames="},
        {"--benchmark", "1000001"},
        {"--benchmark", "2.5"},
        {"--screenshot"},
        {"--screenshot="},
        {"--headless=1"},
        {"--help=yes"},
        {"--benchmark", "5", "--frames", "5"},
    };
    for (const auto& args : bad) {
        const auto p = parse(args);
        std::string joined;
        for (const char* a : args) joined += std::string(a) + " ";
        EXPECT_FALSE(p.ok) << joined;
        EXPECT_FALSE(p.error.empty()) << joined;
        EXPECT_EQ(p.error.find('\n'), std::string::npos) << joined;
    }
    EXPECT_EQ(parse({"--bogus"}).error, "unknown option '--bogus'");
    EXPECT_EQ(parse({"--frames", "x"}).error, "--frames needs a whole number from 1 to 4294967295, not 'x'");
    EXPECT_EQ(std::string(usage_text()).rfind("usage: softcube", 0), 0u);
}
