// Scratch folders of model files, and a check of vector values, for the model tests.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "math/vec4.h"

// A fresh folder under the temporary directory, removed with its contents at the end of the test.
class scratch_folder_t {
public:
    scratch_folder_t() {
        static int serial = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("softcube_model_" + std::to_string(getpid()) + "_" + std::to_string(serial++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~scratch_folder_t() { std::filesystem::remove_all(path_); }
    scratch_folder_t(const scratch_folder_t&) = delete;
    scratch_folder_t& operator=(const scratch_folder_t&) = delete;

    // Writes the text (or bytes) to the named file in the folder; returns its full path.
    std::string write(const std::string& name, const std::string& contents) const {
        const std::string full = (path_ / name).string();
        std::ofstream(full, std::ios::binary) << contents;
        return full;
    }
    std::string path(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Every component exactly.
inline void expect_vec(const vec4_t& got, float x, float y, float z, float w) {
    EXPECT_EQ(std::vector<float>({got.x, got.y, got.z, got.w}), std::vector<float>({x, y, z, w}));
}
