// The SDL window that shows the screen's framebuffer; used only by the screen module.
#pragma once

#include <cstdint>
#include <string>

namespace rt::detail {

// Opens a window of the given size with a streaming texture to present from. No vsync: the
// frame rate is the renderer's. On failure returns false with a one-line reason in *why.
bool window_open(uint32_t width, uint32_t height, std::string* why);
bool window_is_open();

// Whether Escape was already held when the window opened (known on X only; false elsewhere).
bool escape_was_down_at_open();

// Copies rows first_row .. last_row (inclusive) of the BGRA framebuffer into the window and shows it.
void window_present(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t first_row, uint32_t last_row);

// The window's title, now or when it opens; "softcube" until set.
void window_set_title(const std::string& title);

// Closes the window and shuts the video subsystem down; harmless when no window is open.
void window_close();

}  // namespace rt::detail
