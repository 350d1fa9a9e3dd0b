#!/usr/bin/env bash
# configure.sh BUILD_DIR [CMAKE_ARGUMENTS...]: configures Korvanel into BUILD_DIR. The first time,
# ccache becomes the compiler launcher where it is installed and no launcher is chosen already.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1
shift
launcher=()
if [ ! -f "$dir/CMakeCache.txt" ] && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ] && command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" "${launcher[@]}" "$@" >/dev/null
