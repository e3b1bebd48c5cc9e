// How much memory the system can still give this program, for refusing a picture too large before allocating it.
#pragma once

#include <cstdint>

namespace rt {

// The kernel's estimate of the memory available without swapping (MemAvailable), in bytes;
// UINT64_MAX when it cannot be read.
uint64_t available_memory_bytes();

}  // namespace rt
