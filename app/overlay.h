// The statistics line printed over every frame.
#pragma once

#include <string>
#include <string_view>

#include "app/framestats.h"

struct screen_t;

// The line's format; "Tiangles" is spelled so on purpose, the line is read as it always was.
constexpr std::string_view overlay_format =
    "######## Frames / ###.## FPS / ####.###### ms per Frame / #### Tiangles / ######## Pixels";

// Puts the text cursor in the top-left cell and prints the line with the frame count, frame
// rate, frame time and the screen's triangle and pixel counts. Returns the printed text.
std::string print_overlay(const framestats_t& stats, const screen_t& screen);
