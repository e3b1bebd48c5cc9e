// Checks of a glTF file's JSON made before tinygltf sees it: syntax with its place, nesting depth, picture views.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The JSON text of a .gltf file, or of a .glb file's first chunk; empty when the file is not
// laid out as one (tinygltf then says what is wrong).
std::string_view gltf_json_text(const char* bytes, size_t size, bool binary);

// Walks the JSON without building it and without recursion, so no text can exhaust the stack:
// false with one line in *why when it is not valid JSON (saying where: line and column in a
// .gltf file, the byte offset in a .glb file, whose JSON starts at byte 20) or when arrays and
// objects nest deeper than max_depth. tinygltf converts nested values recursively, and a few
// tens of thousands of levels overflow the stack there.
bool gltf_json_well_formed(std::string_view json_text, bool binary, uint64_t max_depth, std::string* why);

// tinygltf hands a picture stored in a buffer view to the picture callback as the address of
// the view's first byte in its buffer before checking the view against the buffer, which is
// undefined behaviour for a view starting past the buffer's end. Those views are therefore
// checked in the JSON first, against the byte length each buffer declares (tinygltf refuses
// a buffer whose bytes are not that many). Whatever is missing or mistyped here is left for
// tinygltf to refuse. The text must have passed gltf_json_well_formed.
bool gltf_picture_views_within_buffers(std::string_view json_text, std::string* why);
