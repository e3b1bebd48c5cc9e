// scan_obj_text: counting an OBJ file's lines by kind and checking the numbers of its v, vn and vt lines.
#include "model/obj_text_scan.h"

#include <algorithm>
#include <cstring>

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }
bool digit(char c) { return c >= '0' && c <= '9'; }

// Whether [first, last) is one whole number as OBJ files write it.
bool whole_number(const char* first, const char* last) {
    const char* p = first;
    if (p < last && (*p == '+' || *p == '-')) ++p;
    const char* const digits_start = p;
    while (p < last && digit(*p)) ++p;
    bool has_digits = p != digits_start;
    if (p < last && *p == '.') {
        const char* const fraction_start = ++p;
        while (p < last && digit(*p)) ++p;
        has_digits = has_digits || p != fraction_start;
    }
    if (!has_digits) return false;
    if (p < last && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < last && (*p == '+' || *p == '-')) ++p;
        const char* const exponent_start = p;
        while (p < last && digit(*p)) ++p;
        if (p == exponent_start) return false;
    }
    return p == last;
}

// Whether the values after a v, vn or vt keyword (from `p` to the line's end) begin with
// `required` numbers, followed by up to `optional` more that must be numbers too when given.
// Values end at blanks; a '#' ends the line's values.
bool numbers_present(const char* p, const char* line_end, int required, int optional) {
    const char* const values_end = std::find(p, line_end, '#');
    for (int k = 0; k < required + optional; ++k) {
        while (p < values_end && blank(*p)) ++p;
        if (p == values_end) return k >= required;
        const char* const token_end = std::find_if(p, values_end, blank);
        if (!whole_number(p, token_end)) return false;
        p = token_end;
    }
    return true;
}

}  // namespace

obj_text_scan_t scan_obj_text(const char* const text, const size_t size) {
    obj_text_scan_t scan;
    const char* p = text;
    const char* const end = text + size;
    uint64_t line = 0;
    while (p < end) {
        // The '\n' of a "\r\n" ends the line the '\r' ended: it starts no line of its own.
        if (!(*p == '\n' && p > text && p[-1] == '\r')) ++line;
        while (p < end && blank(*p)) ++p;
        const char* line_end = p;
        while (line_end < end && *line_end != '\n' && *line_end != '\r') ++line_end;
        const auto kind_is = [&](const char* word, size_t length) {
            return static_cast<size_t>(line_end - p) > length && std::memcmp(p, word, length) == 0 && blank(p[length]);
        };
        const auto check = [&](size_t keyword, int required, int optional, const char* what) {
            if (scan.bad_line == 0 && !numbers_present(p + keyword, line_end, required, optional)) {
                scan.bad_line = line;
                scan.bad_what = what;
            }
        };
        // A v, vn or vt keyword alone on its line starts a line whose numbers are all missing.
        const auto values_follow = [&](const char* word, size_t length) {
            return static_cast<size_t>(line_end - p) == length ? std::memcmp(p, word, length) == 0
                                                               : kind_is(word, length);
        };
        if (values_follow("v", 1)) {
            ++scan.positions;
            check(1, 3, 0, "a vertex coordinate is missing or not a number");
        } else if (values_follow("vn", 2)) {
            ++scan.normals;
            check(2, 3, 0, "a normal coordinate is missing or not a number");
        } else if (values_follow("vt", 2)) {
            ++scan.texcoords;
            check(2, 1, 1, "a texture coordinate is missing or not a number");
        } else if (static_cast<size_t>(line_end - p) >= 6 && std::memcmp(p, "usemtl", 6) == 0 &&
                   std::all_of(p + 6, line_end, blank)) {
            scan.bare_usemtl_ends.push_back(static_cast<size_t>(p + 6 - text));
        } else if (kind_is("f", 1)) {
            ++scan.faces;
        }
        p = line_end + 1;
    }
    return scan;
}
