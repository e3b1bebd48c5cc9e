// Text forms of vec2_t, vec3_t, vec4_t and quat_t.
#include <initializer_list>
#include <string>

#include "base/number_text.h"
#include "math/quat.h"
#include "math/vec2.h"
#include "math/vec3.h"
#include "math/vec4.h"

namespace {

// Every component preceded by one blank: " x y ...".
std::string spaced(std::initializer_list<float> components) {
    std::string text;
    for (float c : components) {
        text += ' ';
        text += base::single_to_string(c);
    }
    return text;
}

// "(x, y, ...)".
std::string parenthesised(std::initializer_list<float> components) {
    std::string text = "(";
    const char* separator = "";
    for (float c : components) {
        text += separator;
        text += base::single_to_string(c);
        separator = ", ";
    }
    text += ')';
    return text;
}

}  // namespace

std::string to_string(const vec2_t& a) { return parenthesised({a.x, a.y}); }
std::string to_spaced_string(const vec2_t& a) { return spaced({a.x, a.y}); }
std::string to_string(const vec3_t& a) { return parenthesised({a.x, a.y, a.z}); }
std::string to_spaced_string(const vec3_t& a) { return spaced({a.x, a.y, a.z}); }
std::string to_string(const vec4_t& a) { return spaced({a.x, a.y, a.z, a.w}); }
std::string to_string(const quat_t& q) { return spaced({q.x, q.y, q.z, q.w}); }
