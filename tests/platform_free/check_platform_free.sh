#!/usr/bin/env bash
# Runs the program built from the platform-free layers and checks that it needs no platform library.
set -euo pipefail
program="$1"
"$program"
if ldd "$program" | grep -Ei 'libSDL2|libX11|libpng|libxcb'; then
    echo "the platform-free layers pull in a platform library (above)" >&2
    exit 1
fi
echo "links only: $(ldd "$program" | awk '{print $1}' | tr '\n' ' ')"
