#!/usr/bin/env bash
# Sets everything up on Debian 12 and runs every check: install, build, static checks, all tests,
# the fuzzers, and all tests again on a build with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install.sh
bash scripts/build.sh
bash scripts/lint.sh
bash scripts/sanitize.sh build
# The pure functions under libFuzzer with sanitizers, a bounded time each.
bash scripts/fuzz.sh

ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" --timeout 600
# The same suite on the sanitized build. One suite at a time: GUI tests that watch windows and
# keys from outside are not made for a machine this busy.
bash scripts/sanitize.sh test
