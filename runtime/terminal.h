// Whether the program's standard error is a terminal, where a progress line may rewrite itself.
#pragma once

namespace rt {

bool stderr_is_terminal();

}  // namespace rt
