// Command-line parsing: each option's value checked against its limits, then the combinations.
#include "app/command_line.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string_view>

#include "app/thread_count.h"
#include "runtime/screenshot.h"
#include "viewer/output_names.h"

namespace {

std::optional<uint64_t> parse_count(std::string_view text, uint64_t min, uint64_t max) {
    if (text.empty() || text.size() > 20) return std::nullopt;
    uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        // digit > max first: max - digit would wrap round for a limit below 9.
        if (digit > max || value > (max - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    if (value < min) return std::nullopt;
    return value;
}

// A finite decimal number (digits, one point, an exponent, a sign) within [min, max].
std::optional<double> parse_number(std::string_view text, double min, double max) {
    const std::string digits(text);
    if (digits.empty() || digits.find_first_not_of("0123456789.eE+-") != std::string::npos) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(digits.c_str(), &end);
    if (end != digits.c_str() + digits.size() || !std::isfinite(value) || value < min || value > max) {
        return std::nullopt;
    }
    return value;
}

// "WxH", each side within the picture limits.
std::optional<std::pair<uint32_t, uint32_t>> parse_size(std::string_view text) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos) return std::nullopt;
    const auto w = parse_count(text.substr(0, x), min_picture_side, max_picture_side);
    const auto h = parse_count(text.substr(x + 1), min_picture_side, max_picture_side);
    if (!w || !h) return std::nullopt;
    return std::pair(static_cast<uint32_t>(*w), static_cast<uint32_t>(*h));
}

// The value in quotes, its control characters written as \xNN so that an error stays one line.
std::string quoted(std::string_view value) {
    std::string text(1, '\'');
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            constexpr char digits[] = "0123456789abcdef";
            text.append("\\x").push_back(digits[byte >> 4]);
            text.push_back(digits[byte & 15]);
        } else {
            text.push_back(c);
        }
    }
    text.push_back('\'');
    return text;
}

std::string count_error(std::string_view name, uint64_t min, uint64_t max, std::string_view value) {
    return std::string(name) + " needs a whole number from " + std::to_string(min) + " to " + std::to_string(max) +
           ", not " + quoted(value);
}

// What an option does with its value; returns an error line, or nothing.
using option_action_t = std::function<std::optional<std::string>(std::string_view name, std::string_view value)>;

struct option_rule_t {
    std::string_view name;
    int values;  // 0, 1, or 3 (--thumbnail)
    option_action_t action;
};

// Builders of the common actions.
option_action_t flag(bool& target) {
    return [&target](std::string_view, std::string_view) -> std::optional<std::string> {
        target = true;
        return std::nullopt;
    };
}

template <class T>
option_action_t count(T& target, uint64_t min, uint64_t max, bool* given = nullptr) {
    return [&target, min, max, given](std::string_view name, std::string_view value) -> std::optional<std::string> {
        const auto n = parse_count(value, min, max);
        if (!n) return count_error(name, min, max, value);
        target = static_cast<T>(*n);
        if (given != nullptr) *given = true;
        return std::nullopt;
    };
}

option_action_t number(double& target, double min, double max, std::string_view what) {
    return [&target, min, max, what](std::string_view name, std::string_view value) -> std::optional<std::string> {
        const auto n = parse_number(value, min, max);
        if (!n) return std::string(name) + " needs " + std::string(what) + ", not " + quoted(value);
        target = *n;
        return std::nullopt;
    };
}

// One of the names, each standing for its value.
template <class T>
option_action_t one_of(T& target, std::initializer_list<std::pair<std::string_view, T>> choices, bool* given,
                       std::string_view list) {
    std::vector<std::pair<std::string_view, T>> names(choices);
    return [&target, names, given, list](std::string_view name, std::string_view value) -> std::optional<std::string> {
        for (const auto& [text, choice] : names) {
            if (text != value) continue;
            target = choice;
            *given = true;
            return std::nullopt;
        }
        return std::string(name) + " needs " + std::string(list) + ", not " + quoted(value);
    };
}

option_action_t file_name(std::string& target) {
    return [&target](std::string_view name, std::string_view value) -> std::optional<std::string> {
        if (value.empty()) return std::string(name) + " needs a file name";
        target = std::string(value);
        return std::nullopt;
    };
}

// The options a thumbnail run takes beside its own: the threads and the picture quality.
bool thumbnail_may_take(std::string_view name) {
    for (const std::string_view allowed :
         {"--thumbnail", "--threads", "--edges", "--ssaa", "--filter", "--lines", "--lines-only", "--light"}) {
        if (name == allowed) return true;
    }
    return false;
}

}  // namespace

parsed_command_line_t parse_command_line(int argc, const char* const* argv) {
    parsed_command_line_t result;
    options_t& o = result.options;
    bool frames_given = false;
    bool model_option_given = false;
    bool only_thumbnail_allowed = false;  // an option a thumbnail does not take was given
    std::string thumbnail_size_text;
    const std::vector<option_rule_t> known_options = {
        {"--help", 0, flag(o.help)},
        {"-h", 0, flag(o.help)},
        {"--version", 0, flag(o.version)},
        {"--size", 1,
         [&](std::string_view name, std::string_view value) -> std::optional<std::string> {
             const auto size = parse_size(value);
             if (!size) {
                 return std::string(name) + " needs WIDTHxHEIGHT, each from " + std::to_string(min_picture_side) +
                        " to " + std::to_string(max_picture_side) + ", not " + quoted(value);
             }
             std::tie(o.width, o.height) = *size;
             o.size_given = true;
             return std::nullopt;
         }},
        {"--no-overlay", 0,
         [&](std::string_view, std::string_view) -> std::optional<std::string> {
             o.overlay = false;
             return std::nullopt;
         }},
        {"--background", 1,
         [&](std::string_view name, std::string_view value) -> std::optional<std::string> {
             const auto background = parse_background(value);
             if (!background) {
                 return std::string(name) +
                        " needs #rrggbb, r,g,b (0 to 255), transparent, demo, black, white or grey, not " +
                        quoted(value);
             }
             o.background = *background;
             return std::nullopt;
         }},
        {"--azimuth", 1, number(o.camera.azimuth, -1e6, 1e6, "an angle in degrees")},
        {"--elevation", 1,
         number(o.camera.elevation, -camera_t::max_elevation, camera_t::max_elevation,
                "an angle in degrees from -89 to 89")},
        {"--zoom", 1, number(o.camera.zoom, camera_t::min_zoom, camera_t::max_zoom, "a factor from 0.01 to 100")},
        {"--frame", 1,
         [&](std::string_view name, std::string_view value) -> std::optional<std::string> {
             const auto n = parse_count(value, 0, max_frames);
             if (!n) return count_error(name, 0, max_frames, value);
             o.first_frame = *n;
             o.frame_given = true;
             return std::nullopt;
         }},
        {"--headless", 0, flag(o.headless)},
        {"--frames", 1, count(o.frames, 1, max_frames, &frames_given)},
        {"--screenshot", 1, file_name(o.screenshot)},
        {"--every", 1, count(o.every, 1, max_frames)},
        {"--turntable", 1, count(o.turntable, 1, max_turntable_frames)},
        {"--output-dir", 1,
         [&](std::string_view name, std::string_view value) -> std::optional<std::string> {
             if (value.empty()) return std::string(name) + " needs a folder";
             o.output_dir = std::string(value);
             return std::nullopt;
         }},
        {"--thumbnail", 3,
         [&](std::string_view, std::string_view value) -> std::optional<std::string> {
             thumbnail_size_text = std::string(value);
             return std::nullopt;
         }},
        {"--benchmark", 1, count(o.benchmark, 1, max_benchmark_frames)},
        {"--threads", 1, count(o.threads, 1, max_render_threads)},
        {"--model", 1,
         [&](std::string_view name, std::string_view value) -> std::optional<std::string> {
             if (value.empty()) return std::string(name) + " needs a file name";
             if (model_option_given) return std::string(name) + " names one model; give several as plain arguments";
             model_option_given = true;
             o.models.insert(o.models.begin(), std::string(value));
             return std::nullopt;
         }},
        {"--texture", 1, file_name(o.texture)},
        {"--opacity", 1,
         [&](std::string_view name, std::string_view value) -> std::optional<std::string> {
             const auto a = parse_number(value, 0.0, 1.0);
             if (!a) return std::string(name) + " needs a number from 0 to 1 (1: fully opaque), not " + quoted(value);
             o.opacity = static_cast<float>(*a);
             o.opacity_given = true;
             return std::nullopt;
         }},
        {"--edges", 1,
         one_of(o.edges, {{"spans", edge_rule_t::spans}, {"watertight", edge_rule_t::watertight}}, &o.edges_given,
                "spans or watertight")},
        {"--ssaa", 1, count(o.ssaa, 1, max_ssaa, &o.ssaa_given)},
        {"--filter", 1,
         one_of(o.filter,
                {{"nearest", texture_filter_t::nearest},
                 {"linear", texture_filter_t::linear},
                 {"trilinear", texture_filter_t::trilinear}},
                &o.filter_given, "nearest, linear or trilinear")},
        {"--lines", 0,
         [&](std::string_view, std::string_view) -> std::optional<std::string> {
             o.lines = line_mode_t::over_fill;
             return std::nullopt;
         }},
        {"--lines-only", 0,
         [&](std::string_view, std::string_view) -> std::optional<std::string> {
             o.lines = line_mode_t::only;
             return std::nullopt;
         }},
        {"--light", 1,
         [&](std::string_view name, std::string_view value) -> std::optional<std::string> {
             const size_t comma = value.find(',');
             const auto azimuth =
                 comma == std::string_view::npos ? std::nullopt : parse_number(value.substr(0, comma), -1e6, 1e6);
             const auto elevation =
                 comma == std::string_view::npos ? std::nullopt : parse_number(value.substr(comma + 1), -90.0, 90.0);
             if (!azimuth || !elevation) {
                 return std::string(name) + " needs AZ,EL in degrees (the elevation -90 to 90), not " + quoted(value);
             }
             o.light_azimuth = *azimuth;
             o.light_elevation = *elevation;
             return std::nullopt;
         }},
        {"--textured", 0, flag(o.textured)},
        {"--wireframe", 0, flag(o.wireframe)},
        {"--cull", 0, flag(o.cull)},
        {"--clip", 0, flag(o.clip)},
    };

    const auto fail = [&](std::string error) {
        result.error = std::move(error);
        return result;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
        if (!arg.starts_with("-") || arg == "-") {
            if (arg.empty()) return fail("an empty argument is not a model file");
            o.models.emplace_back(arg);
            only_thumbnail_allowed = true;
            continue;
        }
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (const size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
        }
        const option_rule_t* rule = nullptr;
        for (const option_rule_t& s : known_options) {
            if (s.name == name) rule = &s;
        }
        if (rule == nullptr) return fail("unknown option " + quoted(arg));
        if (rule->values == 0 && value) return fail("option " + quoted(name) + " takes no value");
        if (rule->values == 3) {
            if (value || i + 3 >= argc) return fail(std::string(name) + " needs SIZE INPUT OUTPUT");
            value = argv[++i];
            o.thumbnail_input = argv[++i];
            o.thumbnail_output = argv[++i];
        } else if (rule->values == 1 && !value) {
            if (i + 1 >= argc || argv[i + 1] == nullptr) return fail("option " + quoted(name) + " needs a value");
            value = argv[++i];
        }
        if (!thumbnail_may_take(name)) only_thumbnail_allowed = true;
        if (auto error = rule->action(name, value.value_or(""))) return fail(std::move(*error));
    }

    if (!thumbnail_size_text.empty()) {
        const auto size = parse_count(thumbnail_size_text, min_picture_side, max_picture_side);
        if (!size) return fail(count_error("--thumbnail", min_picture_side, max_picture_side, thumbnail_size_text));
        if (o.thumbnail_input.empty() || o.thumbnail_output.empty()) {
            return fail("--thumbnail needs SIZE INPUT OUTPUT, with file names");
        }
        if (only_thumbnail_allowed) {
            return fail(
                "--thumbnail SIZE INPUT OUTPUT takes no other option but --threads, --edges, --ssaa, --filter, "
                "--lines, --lines-only and --light");
        }
        o.thumbnail_size = static_cast<uint32_t>(*size);
    }
    if (o.ssaa_given && o.ssaa > 1) {
        const uint32_t side = o.thumbnail_size != 0 ? o.thumbnail_size : std::max(o.width, o.height);
        if (uint64_t{side} * o.ssaa > max_picture_side) {
            return fail("--ssaa " + std::to_string(o.ssaa) + " draws " + std::to_string(uint64_t{side} * o.ssaa) +
                        " samples along a side of " + std::to_string(side) + " pixels; at most " +
                        std::to_string(max_picture_side) + " are possible");
        }
    }
    if (frames_given && o.benchmark != 0)
        return fail("--frames and --benchmark both set the number of frames; give one");
    if (o.models.size() > 1 && o.output_dir.empty()) {
        return fail("several models are drawn one after another into --output-dir DIR; give a folder");
    }
    if (o.opacity_given && o.models.empty()) return fail("--opacity applies to a model; give a model file");
    if (o.every != 0 && !names_frames(o.screenshot)) {
        return fail("--every writes numbered pictures; give --screenshot a name with {frame}, e.g. out_{frame:04}.png");
    }
    if (o.turntable != 0 && frames_given) return fail("--turntable N draws N frames; leave out --frames");
    if (!o.output_dir.empty() && (o.benchmark != 0 || !o.screenshot.empty() || o.turntable != 0)) {
        return fail("--output-dir writes one picture per model; leave out --screenshot, --turntable and --benchmark");
    }
    if (o.background.transparent && rt::picture_format_of(o.screenshot) == rt::picture_format::bmp) {
        return fail("--background transparent needs a .png screenshot: BMP pictures here are opaque");
    }
    result.ok = true;
    return result;
}

const char* help_text() {
    return "usage: softcube [OPTION]... [MODEL]...\n"
           "       softcube --thumbnail SIZE INPUT OUTPUT\n"
           "\n"
           "Without options: opens the 800 x 600 window with the turning, translucent cube and runs until\n"
           "Escape is held or the window is closed. Without a display it renders 300 frames offscreen,\n"
           "prints the last statistics line and writes the last frame to softcube-last-frame.png.\n"
           "A MODEL is a Wavefront OBJ (.obj with its .mtl) or glTF 2.0 (.gltf, .glb) file, drawn in the\n"
           "cube's place: `softcube model.glb` is `softcube --model model.glb`.\n"
           "\n"
           "Picture:\n"
           "  --size WxH          picture, window and screenshot size, each side 16 to 16384 (default 800x600)\n"
           "  --background C      #rrggbb, r,g,b, demo (dark blue, the default), black, white, grey, or\n"
           "                      transparent (PNG with alpha: 0 where nothing is drawn)\n"
           "  --no-overlay        no statistics line: the same options give the same file, byte for byte\n"
           "  --opacity A         a model's opaque materials drawn with opacity A, 0 to 1 (default 0.75;\n"
           "                      1: fully opaque, back faces hidden)\n"
           "  --texture FILE      texture picture (PNG, JPEG, TGA or BMP) instead of the model's own\n"
           "                      (or of the cube's tex.bmp); one that cannot be read gives a warning\n"
           "  --edges RULE        spans (the demo's, the default) or watertight: triangles that share an\n"
           "                      edge cover each pixel along it once, no cracks, no pixel drawn twice\n"
           "  --ssaa N            N x N samples per pixel (1 to 4; default 1), averaged: smooth edges\n"
           "  --filter F          textures: nearest (the default), linear (bilinear) or trilinear\n"
           "                      (bilinear between mipmap levels where a texture is shrunk)\n"
           "  --lines             triangle edges drawn as lines over the surfaces; --lines-only draws\n"
           "                      the lines alone (the --wireframe spans' ends are another mode)\n"
           "  --light AZ,EL       light from azimuth AZ, elevation EL degrees (default 0,0: from the\n"
           "                      viewer); positive AZ from the right, positive EL from above\n"
           "\n"
           "Camera (a model is fitted to the picture; the cube keeps its own camera):\n"
           "  --azimuth DEG       orbit about the vertical axis; positive shows more of the right side\n"
           "  --elevation DEG     orbit upwards, -89 to 89; positive looks down on the top\n"
           "  --zoom F            magnify F times, 0.01 to 100 (1: the whole model fills 90 % of the\n"
           "                      picture's smaller side)\n"
           "  --frame N           start with the turn of frame N, computed directly (0: unturned);\n"
           "                      offscreen without --frames it draws that frame alone\n"
           "\n"
           "Output:\n"
           "  --headless          render offscreen, no window; stops after --frames frames (300 if not\n"
           "                      given) and prints the last frame's statistics line\n"
           "  --frames N          draw N frames, 1 to 4294967295; without --frame the last is frame N\n"
           "  --screenshot FILE   after the last frame, write the picture to FILE (.png or .bmp); a name\n"
           "                      with {frame}, {frame:04} or {model} is a template (see --every)\n"
           "  --every K           with a template, write every K-th frame\n"
           "  --turntable N       N frames of one full turn about the vertical axis (written every frame\n"
           "                      with a template)\n"
           "  --output-dir DIR    draw each MODEL alone (its --frame, or unturned) into DIR/MODEL.png;\n"
           "                      a bad file is reported and the others still drawn\n"
           "  --thumbnail SIZE INPUT OUTPUT\n"
           "                      a PNG thumbnail of the model INPUT, its longer side SIZE pixels:\n"
           "                      transparent background, opaque surfaces, three-quarter view, with\n"
           "                      --edges watertight --ssaa 2 --filter linear (which may be changed)\n"
           "\n"
           "Drawing modes, for the window and offscreen alike (texturing starts on by itself for a\n"
           "model with texture coordinates and a texture):\n"
           "  --textured          sample the texture       (key T toggles it in a model's window)\n"
           "  --wireframe         only the ends of spans   (key W)\n"
           "  --cull              skip back faces          (key C)\n"
           "  --clip              clip every triangle to the view volume (key K)\n"
           "\n"
           "Performance:\n"
           "  --benchmark N       offscreen, N frames (1 to 1000000) without the 1 ms pause, then print a\n"
           "                      summary and frames=N median_ms=... mean_ms=... p95_ms=... fps=...\n"
           "                      triangles=... pixels=... threads=... isa=...\n"
           "  --threads N         draw with N threads, 1 to 256 (default: SOFTCUBE_THREADS, else every\n"
           "                      online core); every count draws the same picture\n"
           "\n"
           "In the window (which may be resized or maximised; the picture follows its size):\n"
           "  left drag, arrows   orbit the camera (touching the camera pauses the turn)\n"
           "  right/middle drag   pan\n"
           "  wheel, + and -      zoom\n"
           "  R, double click     back to the starting view\n"
           "  Space               pause or resume the turn\n"
           "  T W C K             texturing, wireframe, culling, clipping on and off\n"
           "  F12                 write the picture to the next free softcube-0001.png, softcube-0002.png, ...\n"
           "                      (or numbered after --screenshot's name); never overwrites a file\n"
           "  H, F1               show or hide the help panel\n"
           "  Escape              end the program\n"
           "\n"
           "  --help              show this text\n"
           "  --version           show the version\n"
           "\n"
           "Exit status: 0 on success, 1 when a model cannot be loaded or a picture cannot be written\n"
           "(with several models: when any failed), 2 for a bad command line, 130 or 143 when\n"
           "interrupted (the frame in hand is finished and its picture written first).\n";
}
