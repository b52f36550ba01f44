#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in its own folder and runs
# the whole test suite on it. Any sanitizer report fails the test it happens in.
#   scripts/sanitize.sh [build|test]   (default: both)
# SANITIZE_BUILD_DIR picks the folder (default build-asan/).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${SANITIZE_BUILD_DIR:-build-asan}
step=${1:-all}

if [ "$step" != test ]; then
  # -O1 with line tables only: a fraction of the compile and link time of a full debug build, and
  # still readable stack traces.
  cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
    -DSORVANE_SANITIZE=ON -DSORVANE_WERROR=ON > /dev/null
  cmake --build "$build_dir" -j"$(nproc)" > /dev/null
fi

if [ "$step" != build ]; then
  # The system's WebEngine library, not ours, frees some objects with a mismatched operator delete;
  # leak reports would be dominated by the uninstrumented system libraries (the fuzzers check our
  # pure code for leaks).
  export ASAN_OPTIONS=new_delete_type_mismatch=0:detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  # The package test checks packaging, which the sanitized binaries are not meant for.
  ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" --timeout 900 -E '^tst_debpackage$'
fi
