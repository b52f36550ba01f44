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

# Both suites at once: each runs its GUI tests one at a time (every one under its own display,
# home and runtime folder), so together they keep the two cores busy. The sanitized suite's output
# follows the other's.
sanitized_log=$(mktemp)
trap 'rm -f "$sanitized_log"' EXIT
bash scripts/sanitize.sh test > "$sanitized_log" 2>&1 &
sanitized=$!
status=0
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" --timeout 600 || status=1
wait "$sanitized" || status=1
echo "== the same suite, built with AddressSanitizer and UndefinedBehaviorSanitizer"
cat "$sanitized_log"
exit $status
