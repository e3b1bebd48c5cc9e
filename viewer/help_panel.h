// The help panel the window shows on H or F1: every key and mouse action, in the built-in font.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// The panel's lines, as shown.
const std::vector<std::string_view>& help_panel_lines();

// Draws the panel, opaque, below the statistics line at the picture's left, into a BGRA
// buffer of width x height pixels; what does not fit is clipped.
void draw_help_panel(uint8_t* pixels, uint32_t width, uint32_t height);
