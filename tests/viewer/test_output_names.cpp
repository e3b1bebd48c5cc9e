// Picture names: templates, model names and numbered names that never reuse a file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "viewer/output_names.h"

TEST(OutputNames, TemplatesTakeTheFrameAndTheModel) {
    EXPECT_TRUE(names_frames("a_{frame}.png"));
    EXPECT_TRUE(names_frames("a_{frame:04}.png"));
    EXPECT_FALSE(names_frames("a_{frame:4}.png"));  // the width needs its leading zero
    EXPECT_FALSE(names_frames("a_{model}.png"));
    EXPECT_EQ(expand_name("out_{frame:04}.png", 7, "m"), "out_0007.png");
    EXPECT_EQ(expand_name("out_{frame:02}.png", 12345, "m"), "out_12345.png");
    EXPECT_EQ(expand_name("{model}/{frame}-{frame:03}-{model}.png", 5, "torus"), "torus/5-005-torus.png");
    EXPECT_EQ(expand_name("{frames}{frame:0}{x}.png", 1, "m"), "{frames}{frame:0}{x}.png");
    EXPECT_EQ(expand_name("{frame:020}", 1, "m"), "00000000000000000001");
    EXPECT_EQ(model_name_of("models/torus.obj"), "torus");
    EXPECT_EQ(model_name_of("a.b/house.gltf"), "house");
    EXPECT_EQ(model_name_of("plain"), "plain");
    EXPECT_EQ(model_name_of(".hidden"), ".hidden");
}

TEST(OutputNames, NumberedNamesAreClaimedAndNeverReused) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "softcube_numbered_names";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string base = (folder / "shot.png").string();
    EXPECT_EQ(claim_numbered_name(base), (folder / "shot-0001.png").string());
    EXPECT_EQ(claim_numbered_name(base), (folder / "shot-0002.png").string());
    // A file or a link already there is skipped, never overwritten or followed.
    std::ofstream(folder / "shot-0003.png") << "kept";
    std::filesystem::create_symlink(folder / "target", folder / "shot-0004.png");
    EXPECT_EQ(claim_numbered_name(base), (folder / "shot-0005.png").string());
    EXPECT_FALSE(std::filesystem::exists(folder / "target"));
    EXPECT_EQ(std::filesystem::file_size(folder / "shot-0003.png"), 4u);
    EXPECT_EQ(claim_numbered_name((folder / "noext").string()), (folder / "noext-0001").string());
    EXPECT_EQ(claim_numbered_name((folder / "missing" / "x.png").string()), "");
    std::filesystem::remove_all(folder);
}
