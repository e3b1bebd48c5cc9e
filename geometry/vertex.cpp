// Text form of a vertex.
#include "geometry/vertex.h"

#include <string>

std::string to_string(const vertex_t& v) { return to_string(v.position); }
