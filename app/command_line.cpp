// Command-line parsing.
#include "app/command_line.h"

#include "app/thread_count.h"

#include <cmath>
#include <cstdlib>
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

// A decimal number from 0 up to but not including 1.
std::optional<float> parse_opacity(std::string_view text) {
    const std::string digits(text);
    if (digits.empty() || digits.find_first_not_of("0123456789.eE+-") != std::string::npos) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(digits.c_str(), &end);
    if (end != digits.c_str() + digits.size() || !std::isfinite(value) || value < 0.0 || value >= 1.0) {
        return std::nullopt;
    }
    return static_cast<float>(value);
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
        const bool takes_value = name == "--frames" || name == "--screenshot" || name == "--benchmark" ||
                                 name == "--threads" || name == "--model" || name == "--texture" || name == "--opacity";
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
        } else if (name == "--model" || name == "--texture") {
            if (value->empty()) {
                result.error = std::string(name) + " needs a file name";
                return result;
            }
            // One model is drawn: a second would be silently dropped.
            if (name == "--model" && !o.model.empty()) {
                result.error = "--model given twice; give one model file";
                return result;
            }
            (name == "--model" ? o.model : o.texture) = std::string(*value);
        } else if (name == "--opacity") {
            const auto a = parse_opacity(*value);
            if (!a) {
                result.error =
                    "--opacity needs a number from 0 up to but not including 1 (pixels of alpha 1 are "
                    "never drawn), not '" +
                    std::string(*value) + "'";
                return result;
            }
            o.opacity = *a;
            o.opacity_given = true;
        } else if (name == "--textured") {
            o.textured = true;
        } else if (name == "--wireframe") {
            o.wireframe = true;
        } else if (name == "--cull") {
            o.cull = true;
        } else if (name == "--clip") {
            o.clip = true;
        } else {
            result.error = "unknown option '" + std::string(arg) + "'";
            return result;
        }
    }
    if (frames_given && o.benchmark != 0) {
        result.error = "--frames and --benchmark both set the number of frames; give one";
        return result;
    }
    if (o.opacity_given && o.model.empty()) {
        result.error = "--opacity applies to a model; give --model FILE";
        return result;
    }
    result.ok = true;
    return result;
}

const char* usage_text() {
    return "usage: softcube [--headless] [--frames N] [--screenshot FILE.png|FILE.bmp] [--benchmark N] [--threads N] "
           "[--model FILE] [--texture FILE] [--opacity A] [--textured] [--wireframe] [--cull] [--clip] [--help]\n";
}

const char* help_text() {
    return "usage: softcube [--headless] [--frames N] [--screenshot FILE.png|FILE.bmp] [--benchmark N] [--threads N] "
           "[--model FILE] [--texture FILE] [--opacity A] [--textured] [--wireframe] [--cull] [--clip] [--help]\n"
           "\n"
           "Without options: opens the 800 x 600 window with the turning cube and runs until Escape is\n"
           "held or the window is closed. Without a display it renders 300 frames offscreen, prints the\n"
           "last statistics line and writes the last frame to softcube-last-frame.png.\n"
           "\n"
           "  --headless         render offscreen, no window; stops after --frames frames (300 if not\n"
           "                     given) and prints the last frame's statistics line\n"
           "  --frames N         stop after N frames; the last frame drawn is frame N\n"
           "  --screenshot FILE  after the last frame, write the picture to FILE (.png or .bmp); with\n"
           "                     a model in the window, F12 writes it at any frame too\n"
           "  --benchmark N      offscreen, N frames without the 1 ms pause, then print a summary and\n"
           "                     frames=N median_ms=... mean_ms=... p95_ms=... fps=... triangles=... pixels=...\n"
           "  --threads N        draw with N threads, 1 to 256 (default: SOFTCUBE_THREADS, else every\n"
           "                     online core); every count draws the same picture\n"
           "\n"
           "Models:\n"
           "  --model FILE       draw a Wavefront OBJ (.obj with its .mtl) or glTF 2.0 (.gltf, .glb)\n"
           "                     model in the cube's place, centred and scaled to the cube's size;\n"
           "                     at most 2000000 vertices, 2000000 triangles and 512 MB of file\n"
           "  --texture FILE     texture picture (PNG, JPEG, TGA or BMP) instead of the model's own\n"
           "                     (or of the cube's tex.bmp); one that cannot be read gives a warning\n"
           "  --opacity A        opacity of an opaque material, 0 <= A < 1 (default 0.75: the renderer\n"
           "                     never draws a pixel of alpha 1); materials' own opacities are scaled by it\n"
           "\n"
           "Drawing modes, for the window and offscreen alike (texturing starts on by itself for a\n"
           "model with texture coordinates and a texture):\n"
           "  --textured         sample the texture       (key T toggles it in a model's window)\n"
           "  --wireframe        only the ends of spans   (key W)\n"
           "  --cull             skip back faces          (key C)\n"
           "  --clip             clip every triangle to the view volume (key K)\n"
           "In a model's window Space pauses and resumes the turning, and the title names the model and\n"
           "the modes that are on. Escape ends the program.\n"
           "\n"
           "  --help             show this text\n"
           "\n"
           "Exit status: 0 on success, 1 when the model cannot be loaded or the screenshot cannot be\n"
           "written, 2 for a bad command line. Interrupted (SIGINT or SIGTERM), a run finishes its frame,\n"
           "prints its statistics, writes its screenshot and ends with 130 or 143.\n";
}
