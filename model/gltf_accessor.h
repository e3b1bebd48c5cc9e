// A glTF accessor's elements located in their buffer and checked against it, and read one component at a time.
#pragma once

#include <tiny_gltf.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Where an accessor's elements lie, checked against its buffer view and buffer.
struct accessor_view_t {
    const uint8_t* first = nullptr;
    size_t stride = 0;
    size_t count = 0;
    int component_type = 0;
    bool normalized = false;
};

// The accessor's elements of the given type (TINYGLTF_TYPE_*), every one within its buffer;
// false with "the WHAT accessor ..." in *why when not.
bool view_accessor(const tinygltf::Model& gltf, int index, int type, const char* what, accessor_view_t* view,
                   std::string* why);

// Component c of element i as a float (normalised integers scaled to 0 .. 1 or -1 .. 1).
float component(const accessor_view_t& view, size_t i, size_t c);

// Element i of an index accessor of unsigned bytes, shorts or ints.
uint32_t index_at(const accessor_view_t& view, size_t i);
