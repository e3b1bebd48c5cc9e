// The statistics line printed over every frame.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "scene/framestats.h"

struct screen_t;

// The line's format; "Tiangles" is spelled so on purpose, the line is read as it always was.
constexpr std::string_view overlay_format =
    "######## Frames / ###.## FPS / ####.###### ms per Frame / #### Tiangles / ######## Pixels";

// The format with the triangle and pixel fields widened to hold the counts when they have
// more digits than the fields; the cube's counts always fit, so its line keeps its 89 characters.
std::string overlay_format_for(uint32_t triangles, uint32_t pixels);

// The line with the frame count, frame rate, frame time and the screen's triangle and pixel counts.
std::string overlay_text(const framestats_t& stats, const screen_t& screen);

// Puts the text cursor in the top-left cell and prints that line; a target with a framebuffer
// of its own gets the line drawn into its top-left cell instead. Returns the printed text.
std::string print_overlay(const framestats_t& stats, const screen_t& screen);
