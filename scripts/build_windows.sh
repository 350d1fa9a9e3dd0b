#!/usr/bin/env bash
# Cross-builds Korvanel for 64-bit Windows into build-windows/ (korvanel.exe, korvanel-cli.exe, the
# portable zip and the test programs, warnings as errors), with the tools that pack the language
# table taken from the native build in build/. `--if-available` exits with 77 instead of failing
# when the cross toolchain is not installed.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1; then
  echo "MinGW-w64 (g++-mingw-w64-x86-64-posix) is not installed: no Windows build." >&2
  [ "${1:-}" = "--if-available" ] && exit 77
  exit 1
fi
if [ ! -f build/CMakeCache.txt ]; then
  scripts/configure.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANEL_BUILD_TESTS=OFF
fi
cmake --build build -j"$(nproc)" --target korvanel-lzari korvanel-langtable
scripts/configure.sh build-windows -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DKORVANEL_BUILD_GUI=ON -DKORVANEL_WERROR=ON \
  -DKORVANEL_HOST_TOOLS="$PWD/build/korvanel-host-tools.cmake"
cmake --build build-windows -j"$(nproc)"
