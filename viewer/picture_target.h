// Render targets of a chosen size, refused up front when the machine cannot hold them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "surfaces/screen.h"

// The bytes a width x height picture needs: its colour and depth buffers, for a transparent
// background the copy its composition keeps, and with supersampling its ssaa x ssaa samples'
// colour and depth buffers.
uint64_t picture_memory_bytes(uint32_t width, uint32_t height, bool transparent, uint32_t ssaa = 1);

// The graphics screen opened anew at this size (replacing the one the program started with),
// or, with offscreen, a target of its own, supersampled ssaa x ssaa (with its samples made).
// Null, with a one-line reason, when the memory available is less than the picture needs
// (checked before allocating) or the allocation fails.
std::unique_ptr<screen_t> open_sized_screen(uint32_t width, uint32_t height, bool transparent, std::string* why,
                                            bool offscreen = false, uint32_t ssaa = 1);

// Supersampling for a screen that exists: its ssaa set and its samples made, the memory they
// need checked first. False, with a one-line reason and the screen unsupersampled, when the
// samples would be wider or taller than a target can be, or the memory is not there.
bool supersample_screen(screen_t& screen, uint32_t ssaa, bool transparent, std::string* why);
