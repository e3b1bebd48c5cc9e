// Program start and end as the runtime sees them.
#pragma once

namespace rt {

// Initialises the runtime: keeps the arguments and starts the timer's origin.
void program_init(int argc, char** argv);

int program_argument_count();
const char* program_argument(int index);  // nullptr outside 0 .. count - 1

// Ends the process with the status after flushing the standard streams; static destructors run.
[[noreturn]] void end_program(int status);

}  // namespace rt
