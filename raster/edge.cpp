// Edge construction: placed on its vertices, then its values taken from the gradients.
#include "raster/edge.h"

edge_t::edge_t(const gradients_t& g, const vertex_t& start, const vertex_t& end, int k) {
    place(start, end);
    start_values(g, k);
}

void edge_t::place(const vertex_t& start, const vertex_t& end) {
    y = start.position.y;
    y_end = end.position.y;
    // No guard: a flat edge gets an infinite or NaN step, and spans no row.
    x_step = (end.position.x - start.position.x) / (end.position.y - start.position.y);
    x = start.position.x;
}
