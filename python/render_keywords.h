// The keyword options of the module's render functions, read into softcube::render_options.
#pragma once

#include <pybind11/pybind11.h>

#include "softcube/softcube.h"

namespace softcube_python {

// Every field of softcube::render_options is a keyword of the same name; those not given keep
// the library's defaults. `background` takes 3 values (opaque) or 4; `edges`, `filter` and
// `lines` the names of their values as strings ("watertight", "trilinear", "only", ...), and
// `lines` also True (over the surfaces) or False. An unknown keyword, or
// `threads` where the caller's renderer has its own, is a TypeError naming `function`, as
// Python's own functions do; a value of the wrong type is a TypeError, an integer that the
// field cannot hold a ValueError. Ranges (sizes, angles, zoom, opacity) are the library's to
// check: softcube.Error when rendering.
softcube::render_options render_options_from(const pybind11::kwargs& keywords, const char* function,
                                             bool threads_allowed);

}  // namespace softcube_python
