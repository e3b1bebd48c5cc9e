// Program initialisation and end.
#include "runtime/program.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/timer.h"

namespace rt {
namespace {

constinit int arg_count = 0;
constinit char** arg_values = nullptr;

}  // namespace

void program_init(int argc, char** argv) {
    arg_count = argc < 0 ? 0 : argc;
    arg_values = argv;
    timer_reset_origin();
}

int program_argument_count() { return arg_count; }

const char* program_argument(int index) {
    if (arg_values == nullptr || index < 0 || index >= arg_count) return nullptr;
    return arg_values[index];
}

void end_program(int status) {
    std::fflush(nullptr);
    std::exit(status);
}

}  // namespace rt
