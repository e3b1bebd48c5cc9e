// The demo run headless as a user runs it: frame 100 against the committed golden picture.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

struct rgb_image_t {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgb;

    const uint8_t* at(uint32_t x, uint32_t y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

bool read_png(const std::string& path, rgb_image_t* out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    out->width = image.width;
    out->height = image.height;
    out->rgb.resize(PNG_IMAGE_SIZE(image));
    const bool ok = png_image_finish_read(&image, nullptr, out->rgb.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

// Runs the built program from the assets folder; returns its stdout.
std::string run_demo(const std::string& arguments, int* status) {
    const std::string command =
        "cd '" SOFTCUBE_SOURCE_DIR "/assets' && '" SOFTCUBE_BINARY_DIR "/app/softcube' " + arguments;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        *status = -1;
        return "";
    }
    std::string text;
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe) != nullptr) text += buf;
    *status = pclose(pipe);
    return text;
}

constexpr uint32_t overlay_rows = 8;  // the statistics line's character row, which changes from run to run

}  // namespace

TEST(GoldenFrame, FrameHundredMatchesPixelForPixel) {
    const std::string shot =
        std::filesystem::temp_directory_path() / ("softcube_golden_" + std::to_string(getpid()) + ".png");
    int status = 0;
    const std::string line = run_demo("--headless --frames 100 --screenshot '" + shot + "'", &status);
    ASSERT_EQ(status, 0) << line;

    // The statistics line of the last frame: 12 triangles every frame, a plausible pixel count.
    std::smatch m;
    ASSERT_TRUE(std::regex_search(line, m, std::regex(R"(^ +100 Frames / .* / +12 Tiangles / +(\d+) Pixels)"))) << line;
    const long pixels = std::stol(m[1]);
    EXPECT_GT(pixels, 100000);
    EXPECT_LT(pixels, 480000);

    rgb_image_t got, want;
    ASSERT_TRUE(read_png(shot, &got));
    std::filesystem::remove(shot);
    ASSERT_EQ(got.width, 800u);
    ASSERT_EQ(got.height, 600u);

    // Structure, independent of the golden file: the cube inside a centred box, the dark
    // blue background everywhere else below the overlay row.
    long inside_box = 0;
    for (uint32_t y = overlay_rows; y < got.height; ++y) {
        for (uint32_t x = 0; x < got.width; ++x) {
            const uint8_t* p = got.at(x, y);
            const bool background = p[0] == 0 && p[1] == 0 && p[2] == 16;
            const bool in_box = x >= 150 && x < 700 && y >= 100;
            if (!in_box) {
                ASSERT_TRUE(background) << "cube pixel outside the centred box at " << x << "," << y;
            } else {
                inside_box += !background;
            }
        }
    }
    EXPECT_GT(inside_box, 100000);

    ASSERT_TRUE(read_png(SOFTCUBE_SOURCE_DIR "/tests/app/golden/frame100.png", &want));
    ASSERT_EQ(want.width, got.width);
    ASSERT_EQ(want.height, got.height);
    long differing = 0;
    for (uint32_t y = overlay_rows; y < got.height; ++y) {
        for (uint32_t x = 0; x < got.width; ++x) {
            const uint8_t* a = got.at(x, y);
            const uint8_t* b = want.at(x, y);
            if (a[0] != b[0] || a[1] != b[1] || a[2] != b[2]) {
                if (differing++ < 5) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " is " << int(a[0]) << "," << int(a[1]) << ","
                                  << int(a[2]) << " but the golden frame has " << int(b[0]) << "," << int(b[1]) << ","
                                  << int(b[2]);
                }
            }
        }
    }
    EXPECT_EQ(differing, 0);
}
