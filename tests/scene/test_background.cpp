// Backgrounds: their notations, and the transparent picture composed from drawings over black and white.
#include <gtest/gtest.h>

#include <vector>

#include "scene/background.h"

TEST(Background, NotationsAndRefusals) {
    EXPECT_EQ(background_text(*parse_background("#0A0b0C")), "#0a0b0c");
    EXPECT_EQ(background_text(*parse_background("10,0,255")), "#0a00ff");
    EXPECT_EQ(background_text(*parse_background("demo")), "#000010");
    EXPECT_TRUE(parse_background("transparent")->transparent);
    for (const char* bad : {"", "#", "#00000", "#0000000", "#00000g", "1,2", "1,2,3,", ",1,2,3", "1,2,256", "1, 2, 3",
                            "+1,2,3", "dark", "Transparent"}) {
        EXPECT_FALSE(parse_background(bad).has_value()) << bad;
    }
}

TEST(Background, TransparencyIsWhatTheTwoDrawingsLetThrough) {
    // Pixels (blue, green, red, alpha bytes) over black, then over white:
    // nothing drawn; an opaque colour; half the background through (a colour of 100, 50, 0
    // at half coverage); a pixel whose channels disagree by rounding.
    const std::vector<uint8_t> black = {0, 0, 0, 255, 10, 20, 30, 255, 50, 25, 0, 255, 60, 60, 60, 255};
    const std::vector<uint8_t> white = {255, 255, 255, 255, 10, 20, 30, 255, 178, 153, 128, 255, 187, 188, 189, 255};
    std::vector<uint8_t> out(black.size());
    compose_transparent(black.data(), white.data(), 4, out.data());
    EXPECT_EQ(out, (std::vector<uint8_t>{0, 0, 0, 0, 10, 20, 30, 255, 100, 50, 0, 127, 120, 120, 120, 127}));
    // The picture may be composed in place.
    std::vector<uint8_t> in_place = black;
    compose_transparent(in_place.data(), white.data(), 4, in_place.data());
    EXPECT_EQ(in_place, out);
}
