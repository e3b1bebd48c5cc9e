#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from what .clang-format makes of it.
set -euo pipefail
cd "$1"
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c' '*.inl')
clang-format --dry-run --Werror "${files[@]}"
echo "formatting: ${#files[@]} files as .clang-format states"
