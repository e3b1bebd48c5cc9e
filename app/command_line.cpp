// Command-line parsing.
#include "app/command_line.h"

#include "app/thread_count.h"

#include <optional>
#include <string_view>

namespace {

std::optional<uint64_t> parse_count(std::string_view text, uint64_t max) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (value > (max - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    if (value == 0) return std::nullopt;
    return value;
}

// The option's count from 1 to max, or nothing with the option's one-line error in *error.
std::optional<uint64_t> option_count(std::string_view name, std::string_view text, uint64_t max, std::string* error) {
    const auto n = parse_count(text, max);
    if (!n) {
        *error = std::string(name) + " needs a whole number from 1 to " + std::to_string(max) + ", not '" +
                 std::string(text) + "'";
    }
    return n;
}

}  // namespace

parsed_command_line_t parse_command_line(int argc, const char* const* argv) {
    parsed_command_line_t result;
    options_t& o = result.options;
    bool frames_given = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i] != nullptr ? argv[i] : "";
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (const size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const bool takes_value =
            name == "--frames" || name == "--screenshot" || name == "--benchmark" || name == "--threads";
        if (!takes_value && value) {
            result.error = "option '" + std::string(name) + "' takes no value";
            return result;
        }
        if (takes_value && !value) {
            if (i + 1 >= argc || argv[i + 1] == nullptr) {
                result.error = "option '" + std::string(name) + "' needs a value";
                return result;
            }
            value = argv[++i];
        }
        if (name == "--help" || name == "-h") {
            o.help = true;
        } else if (name == "--headless") {
            o.headless = true;
        } else if (name == "--frames") {
            const auto n = option_count(name, *value, max_frames, &result.error);
            if (!n) return result;
            o.frames = *n;
            frames_given = true;
        } else if (name == "--screenshot") {
            if (value->empty()) {
                result.error = "--screenshot needs a file name";
                return result;
            }
            o.screenshot = std::string(*value);
        } else if (name == "--benchmark") {
            const auto n = option_count(name, *value, max_benchmark_frames, &result.error);
            if (!n) return result;
            o.benchmark = static_cast<uint32_t>(*n);
        } else if (name == "--threads") {
            const auto n = option_count(name, *value, max_render_threads, &result.error);
            if (!n) return result;
            o.threads = static_cast<uint32_t>(*n);
        } else {
            result.error = "unknown option '" + std::string(arg) + "'";
            return result;
        }
    }
    if (frames_given && o.benchmark != 0) {
        result.error = "--frames and --benchmark both set the number of frames; give one";
        return result;
    }
    result.ok = true;
    return result;
}

const char* usage_text() {
    return "usage: softcube [--headless] [--frames N] [--screenshot FILE.png|FILE.bmp] [--benchmark N] [--threads N] "
           "[--help]\n";
}

const char* help_text() {
    return "usage: softcube [--headless] [--frames N] [--screenshot FILE.png|FILE.bmp] [--benchmark N] [--threads N] "
           "[--help]\n"
           "\n"
           "Without options: opens the 800 x 600 window and runs until Escape is held or the window\n"
           "is closed. Without a display it renders 300 frames offscreen, prints the last statistics\n"
           "line and writes the last frame to softcube-last-frame.png.\n"
           "\n"
           "  --headless         render offscreen, no window; stops after --frames frames (300 if not\n"
           "                     given) and prints the last frame's statistics line\n"
           "  --frames N         stop after N frames; the last frame drawn is frame N\n"
           "  --screenshot FILE  after the last frame, write the picture to FILE (.png or .bmp)\n"
           "  --benchmark N      offscreen, N frames without the 1 ms pause, then print a summary and\n"
           "                     frames=N median_ms=... mean_ms=... p95_ms=... fps=... triangles=... pixels=...\n"
           "  --threads N        draw with N threads, 1 to 256 (default: SOFTCUBE_THREADS, else every\n"
           "                     online core); every count draws the same picture\n"
           "  --help             show this text\n"
           "\n"
           "Exit status: 0 on success, 1 when the screenshot cannot be written, 2 for a bad command line.\n";
}
