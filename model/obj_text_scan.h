// The first pass over an OBJ file's text: lines counted by kind, bare "usemtl" lines found, and v, vn and vt numbers
// checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// What the pass finds. The counts let every array be allocated once; the check catches what
// tinyobjloader would silently read as 0: a coordinate that is missing ("v 1 2") or not a
// number ("v nan 0 0", "v abc 0 0", "v 1,5 0 0").
struct obj_text_scan_t {
    size_t positions = 0;
    size_t normals = 0;
    size_t texcoords = 0;
    size_t faces = 0;
    std::vector<size_t> bare_usemtl_ends;  // where a "usemtl" without a name ends its line
    uint64_t bad_line = 0;                 // 1-based line of the first malformed v, vn or vt line; 0: none
    const char* bad_what = "";             // what is wrong on it, one line
};

// Lines end at '\n', '\r' or "\r\n", as tinyobjloader splits them. A v or vn line needs three
// numbers, a vt line one (u; v and w may follow); further values and a comment after '#' may
// follow. A keyword alone on its line, which tinyobjloader would skip, has them all missing. A number is what exporters
// write: an optional sign, digits with an optional decimal point (or a point and digits), an optional exponent; "nan"
// and "inf" are not.
obj_text_scan_t scan_obj_text(const char* text, size_t size);
