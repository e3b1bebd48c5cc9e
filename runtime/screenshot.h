// Pictures of the framebuffer written to PNG or BMP files.
#pragma once

#include <cstdint>
#include <string>

namespace rt {

enum class picture_format { none, png, bmp };

// PNG for a name ending in ".png", BMP for ".bmp" (either case); none otherwise.
picture_format picture_format_of(const std::string& path);

// Checks before any work is done that the path names a known format and that a file can be
// written there: not a folder, not an existing file the user may not write, in a folder where
// write_picture can make its temporary file (an existing file is left untouched, the probe
// file is removed again).
bool picture_path_usable(const std::string& path, std::string* why);

struct picture_options_t {
    // PNG only: the fourth bytes become the picture's alpha (0 transparent) instead of being
    // dropped for an opaque RGB picture.
    bool keep_alpha = false;
    // none: from the name's ending.
    picture_format format = picture_format::none;
};

// Writes width x height BGRA pixels (rows width * 4 apart) as an 8-bit RGB (or RGBA) picture,
// top row first as shown. The file appears complete or not at all: it is written to a new
// file of a random name beside the target (created exclusively, never through a symbolic
// link), flushed to the disk and renamed over the target, which, if it is a symbolic link,
// is replaced rather than followed. On failure returns false with a one-line reason in *why.
bool write_picture(const std::string& path, const uint8_t* bgra, uint32_t width, uint32_t height, std::string* why,
                   const picture_options_t& options = {});

// write_picture of the screen's framebuffer.
bool save_screenshot(const std::string& path, std::string* why);

// "softcube-last-frame.png" in the working folder when that is writable, else in the
// system's temporary folder; absolute.
std::string default_screenshot_path();

std::string absolute_path(const std::string& path);

}  // namespace rt
