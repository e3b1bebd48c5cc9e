// libFuzzer target: the command line parsed from arbitrary arguments: either accepted or one line of error, never both.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"

// The input is split at NUL bytes into the arguments that follow "softcube".
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words(1, "softcube");
    words.emplace_back();
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.emplace_back();
        } else {
            words.back().push_back(static_cast<char>(data[i]));
        }
    }
    std::vector<const char*> argv;
    for (const std::string& w : words) argv.push_back(w.c_str());
    const parsed_command_line_t parsed = parse_command_line(static_cast<int>(argv.size()), argv.data());
    const bool one_line = !parsed.error.empty() && parsed.error.find('\n') == std::string::npos;
    if (parsed.ok == one_line) std::abort();  // accepted with an error, or refused without exactly one line
    if (parsed.ok) {
        const options_t& o = parsed.options;
        const bool in_limits = o.width >= min_picture_side && o.width <= max_picture_side &&
                               o.height >= min_picture_side && o.height <= max_picture_side &&
                               o.camera.zoom >= camera_t::min_zoom && o.camera.zoom <= camera_t::max_zoom &&
                               o.camera.elevation >= -camera_t::max_elevation &&
                               o.camera.elevation <= camera_t::max_elevation && o.opacity >= 0.0f && o.opacity <= 1.0f;
        if (!in_limits) std::abort();
    }
    return 0;
}
