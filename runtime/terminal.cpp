// The terminal test of standard error.
#include "runtime/terminal.h"

#include <unistd.h>

namespace rt {

bool stderr_is_terminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace rt
