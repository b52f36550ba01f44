#!/usr/bin/env bash
# Builds everything in Release with warnings as errors. BUILD_DIR picks the folder (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DSORVANE_WERROR=ON "$@" > /dev/null
cmake --build "$build_dir" -j"$(nproc)"
