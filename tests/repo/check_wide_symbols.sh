#!/usr/bin/env bash
# Fails when an object file of a wide span path (compiled for AVX2 or AVX-512) defines a global
# or weak symbol other than its path's two entry points: the linker could pick such a copy of
# an inline function for a baseline caller, which would then run AVX instructions anywhere.
# Usage: check_wide_symbols.sh OBJECT_FILE...  (the others given are left alone)
set -euo pipefail
checked=0
for object in "$@"; do
    case "$object" in
        *span_fill_avx2.cpp.o) path=avx2 ;;
        *span_fill_avx512.cpp.o) path=avx512 ;;
        *) continue ;;
    esac
    checked=$((checked + 1))
    # Defined symbols that other objects can bind to: global (upper-case type) or weak (W, V, u).
    exported=$(nm --defined-only --demangle "$object" | awk '$2 ~ /^[A-Z]$|^u$/ { $1 = ""; $2 = ""; sub(/^  /, ""); print }')
    unexpected=$(grep -vxF -e "$path::fill_vertex_colour_rows(span_row_t const*, int, interpolants_t const&)" \
        -e "$path::fill_textured_rows(span_row_t const*, int, interpolants_t const&, texel_sampler_t const&)" \
        <<<"$exported" | grep -v '^$' || true)
    if [ -n "$unexpected" ]; then
        echo "$object exports more than the $path entry points:" >&2
        echo "$unexpected" >&2
        exit 1
    fi
    [ "$(grep -c . <<<"$exported")" -eq 2 ] || { echo "$object: the $path entry points are missing" >&2; exit 1; }
done
echo "wide symbols: $checked wide span objects export only their entry points"
