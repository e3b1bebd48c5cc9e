// Tests of texture_t: construction and the texels of an assigned picture.
#include "surfaces/texture.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

std::vector<uint8_t> texel_bytes(const texture_t& t) {
    return std::vector<uint8_t>(t.pixels, t.pixels + size_t{t.width} * t.height * (t.depth / 8));
}

}  // namespace

TEST(Texture, ConstructorClampsAndZeroFills) {
    // (width, height, depth) asked for, and the width, height and depth given.
    for (auto [asked, given] : {std::pair(std::tuple(0u, 0u, 32u), std::tuple(1u, 1u, 32u)),
                                {{4, 4, 4}, {4, 4, 8}},
                                {{5, 3, 12}, {5, 3, 12}},
                                {{2, 2, 0}, {2, 2, 8}},
                                {{2, 2, 33}, {2, 2, 32}},
                                {{0, 7, 24}, {1, 7, 24}},
                                {{UINT32_MAX, 1, 8}, {texture_max_side, 1, 8}}}) {
        const texture_t t(std::get<0>(asked), std::get<1>(asked), std::get<2>(asked));
        EXPECT_EQ(std::tuple(t.width, t.height, t.depth), given);
        EXPECT_EQ(texel_bytes(t), std::vector<uint8_t>(size_t{t.width} * t.height * (t.depth / 8), 0));
    }
    EXPECT_EQ(texel_bytes(texture_t(0, 0, 32)).size(), 4u);
    EXPECT_EQ(texel_bytes(texture_t(4, 4, 4)).size(), 16u);
}

TEST(Texture, AssignedPicturesArePackedWithTransparencyAndBadOnesChangeNothing) {
    // Two rows of 1 pixel, 8 bytes apart: the padding must not reach the texels.
    const uint8_t picture[16] = {1, 2, 3, 64, 9, 9, 9, 9, 4, 5, 6, 255, 9, 9, 9, 9};
    texture_t t(3, 3, 32);
    ASSERT_TRUE(t.assign_picture(1, 2, 8, picture));
    EXPECT_EQ(std::tuple(t.width, t.height, t.depth), std::tuple(1u, 2u, 32u));
    EXPECT_EQ(texel_bytes(t), (std::vector<uint8_t>{1, 2, 3, 191, 4, 5, 6, 0}));
    EXPECT_FALSE(t.assign_picture(2, 2, 4, picture));  // rows overlap
    EXPECT_FALSE(t.assign_picture(0, 1, 4, picture));
    EXPECT_FALSE(t.assign_picture(texture_max_side + 1, 1, size_t{texture_max_side + 1} * 4, picture));
    EXPECT_FALSE(t.assign_picture(1, 1, 4, nullptr));
    EXPECT_EQ(texel_bytes(t), (std::vector<uint8_t>{1, 2, 3, 191, 4, 5, 6, 0}));
}
