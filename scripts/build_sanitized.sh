#!/usr/bin/env bash
# Configures and builds Korvanel in ./build-sanitize with clang, AddressSanitizer,
# UndefinedBehaviorSanitizer and the libFuzzer targets, warnings as errors (scripts/setup.sh
# installs clang first).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/configure.sh build-sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_C_FLAGS_DEBUG="-O1 -g" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DKORVANEL_FUZZ=ON -DKORVANEL_WERROR=ON
cmake --build build-sanitize -j"$(nproc)"
