// Render targets of a chosen size, refused up front when the machine cannot hold them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "surfaces/screen.h"

// The bytes a width x height picture needs: its colour and depth buffers, and for a
// transparent background the copy its composition keeps.
uint64_t picture_memory_bytes(uint32_t width, uint32_t height, bool transparent);

// The graphics screen opened anew at this size (replacing the one the program started with),
// or, with offscreen, a target of its own. Null, with a one-line reason, when the memory
// available is less than the picture needs (checked before allocating) or the allocation fails.
std::unique_ptr<screen_t> open_sized_screen(uint32_t width, uint32_t height, bool transparent, std::string* why,
                                            bool offscreen = false);
