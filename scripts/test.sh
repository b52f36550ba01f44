#!/usr/bin/env bash
# Sets everything up on Debian 12 and runs every check: install, build, static checks, all tests.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install.sh
bash scripts/build.sh
bash scripts/lint.sh
# Unit tests run in parallel; GUI tests are marked to run one at a time.
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" --timeout 600
# The pure functions under libFuzzer with sanitizers, a bounded time each.
bash scripts/fuzz.sh
# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
bash scripts/sanitize.sh
