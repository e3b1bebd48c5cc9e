// Text form of a vertex.
#include "geometry/vertex.h"

#include "runtime/number_text.h"

std::string to_string(const vertex_t& v) {
    const vec4_t& p = v.position;
    return " " + rt::single_to_string(p.x) + " " + rt::single_to_string(p.y) + " " + rt::single_to_string(p.z) +
           " " + rt::single_to_string(p.w);
}
