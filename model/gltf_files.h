// How tinygltf reaches the files a glTF model names, and its error text turned into a sentence.
#pragma once

#include <tiny_gltf.h>

#include <cstdint>
#include <string>

// The buffers a model names by URI are read through this: each as a regular file (never a FIFO
// or device, and within the confining folder when there is one) of at most max_bytes. The first
// that cannot be read is kept as "NAME: WHY" for the message.
struct gltf_file_access_t {
    uint64_t max_bytes = 0;
    std::string confining_folder;
    std::string problem;
};

// tinygltf's file system callbacks over the access; nothing is ever written.
tinygltf::FsCallbacks gltf_file_callbacks(gltf_file_access_t* access);

// tinygltf's error text as one line for people: a buffer file that cannot be read is named with
// the reason, and nothing more about it (tinygltf's own text tells the file's length); the JSON
// library's exception prefix is dropped.
std::string gltf_error_sentence(const std::string& error, const gltf_file_access_t& access);
