// frame_counters_t: the triangles and pixels a frame's drawing has counted.
#pragma once

#include <cstdint>

struct frame_counters_t {
    uint32_t triangle_count = 0;  // triangles handed to the rasteriser (culled ones are not)
    uint32_t pixel_count = 0;     // span pixels written (wireframe ends are not)

    void reset_counters() {
        triangle_count = 0;
        pixel_count = 0;
    }
};
