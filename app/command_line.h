// The program's command line: options, model files and the thumbnail form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/model_mesh.h"
#include "scene/background.h"
#include "scene/camera.h"
#include "surfaces/draw_state.h"

struct options_t {
    bool help = false;
    bool version = false;
    // Picture.
    uint32_t width = 800;  // --size
    uint32_t height = 600;
    bool size_given = false;
    bool overlay = true;
    background_t background;
    // Camera.
    camera_t camera;
    uint64_t first_frame = 1;  // --frame: the frame the sequence starts with
    bool frame_given = false;
    // Output.
    bool headless = false;        // offscreen framebuffer, no window
    uint64_t frames = 0;          // frames to draw; 0: no limit given
    std::string screenshot;       // picture of the last frame, or a name template; empty: none
    uint64_t every = 0;           // with a template: every K-th frame is written; 0: not given
    uint32_t turntable = 0;       // frames of one full turn about the vertical axis; 0: none
    std::string output_dir;       // batch: one picture per model into this folder
    uint32_t thumbnail_size = 0;  // --thumbnail SIZE INPUT OUTPUT; 0: not a thumbnail run
    std::string thumbnail_input;
    std::string thumbnail_output;
    // Performance.
    uint32_t benchmark = 0;  // benchmark frames; 0: no benchmark
    uint32_t threads = 0;    // rendering threads; 0: not given (see app/thread_count.h)
    // Models.
    std::vector<std::string> models;  // --model FILE or plain arguments; none: the cube
    std::string texture;              // picture replacing the model's texture (or the cube's tex.bmp)
    float opacity = default_model_opacity;
    bool opacity_given = false;
    // Picture quality; those not given take the run's default (a thumbnail's differ).
    edge_rule_t edges = edge_rule_t::spans;
    bool edges_given = false;
    uint32_t ssaa = 1;
    bool ssaa_given = false;
    texture_filter_t filter = texture_filter_t::nearest;
    bool filter_given = false;
    line_mode_t lines = line_mode_t::none;
    double light_azimuth = 0.0;  // --light AZ,EL, degrees
    double light_elevation = 0.0;
    // Starting drawing modes.
    bool textured = false;
    bool wireframe = false;
    bool cull = false;
    bool clip = false;
};

// Frames an offscreen run draws when no limit is given.
constexpr uint64_t default_offscreen_frames = 300;
// Limits of the numbers: the frame counter's range, and what the benchmark keeps in memory.
constexpr uint64_t max_frames = 4294967295u;
constexpr uint32_t max_benchmark_frames = 1000000;
// Picture sides --size and --thumbnail accept.
constexpr uint32_t min_picture_side = 16;
constexpr uint32_t max_picture_side = 16384;
constexpr uint32_t max_turntable_frames = 1000000;

struct parsed_command_line_t {
    bool ok = false;
    options_t options;
    std::string error;  // one line, when not ok
};

// Options are "--name value" or "--name=value"; "--thumbnail" takes three values. Arguments
// that are not options name model files. Counts are plain decimal digits within their
// limits, angles and factors decimal numbers. Later repetitions of an option win, except
// "--model", which names one model ("--lines" and "--lines-only" are one option: the later
// wins). Combinations that contradict each other are errors: "--frames" with "--benchmark",
// several models without "--output-dir", "--every" without a "{frame}" in the screenshot
// name, "--opacity" without a model, "--thumbnail" with anything but "--threads" and the
// picture-quality options, "--ssaa" whose samples would exceed 16384 along a side.
parsed_command_line_t parse_command_line(int argc, const char* const* argv);

// The hint that follows an error line.
constexpr const char* help_hint = "(softcube --help lists the options)";
// The options and keys, grouped, with what each does.
const char* help_text();
