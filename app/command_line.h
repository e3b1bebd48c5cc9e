// The program's optional command-line switches.
#pragma once

#include <cstdint>
#include <string>

struct options_t {
    bool help = false;
    bool headless = false;   // offscreen framebuffer, no window
    uint64_t frames = 0;     // stop after this many frames; 0: no limit given
    std::string screenshot;  // picture of the last frame; empty: none
    uint32_t benchmark = 0;  // benchmark frames; 0: no benchmark
    uint32_t threads = 0;    // rendering threads; 0: not given (see app/thread_count.h)
    std::string model;       // OBJ or glTF file drawn instead of the cube; empty: the cube
    std::string texture;     // picture replacing the model's texture (or the cube's tex.bmp); empty: none
    float opacity = 0.75f;   // a model's opacity for opaque materials; only with a model
    bool opacity_given = false;
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

struct parsed_command_line_t {
    bool ok = false;
    options_t options;
    std::string error;  // one line, when not ok
};

// Accepts "--headless", "--frames N", "--screenshot FILE", "--benchmark N", "--threads N",
// "--model FILE", "--texture FILE", "--opacity A", "--textured", "--wireframe", "--cull", "--clip",
// "--help", also in the form "--name=value". Counts are plain decimal digits within their
// limits; the opacity a decimal number from 0 up to but not including 1. Later repetitions of
// a switch win, except "--model", which may be given once; "--frames" and "--benchmark"
// exclude each other; "--opacity" needs "--model".
parsed_command_line_t parse_command_line(int argc, const char* const* argv);

// "usage: softcube ..." on one line, then a line break.
const char* usage_text();
// The usage line and a description of each switch.
const char* help_text();
