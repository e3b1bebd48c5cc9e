// Text form of a vertex.
#include "geometry/vertex.h"

#include "runtime/number_text.h"

std::string to_string(const vertex_t& v) {
    std::string text;
    for (float c : {v.position.x, v.position.y, v.position.z, v.position.w}) {
        text += ' ';
        text += rt::single_to_string(c);
    }
    return text;
}
