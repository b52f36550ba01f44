#!/usr/bin/env bash
# Builds the fuzz targets with clang (address and undefined-behaviour sanitizers) and runs each for
# a bounded time from its seed corpus. Fails on any crash, hang or sanitizer report.
# FUZZ_SECONDS sets the time per target (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -DSORVANE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build_dir" -j"$(nproc)" > /dev/null

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1
status=0
for target in "$build_dir"/tests/fuzz/fuzz_*; do
  if [ ! -f "$target" ] || [ ! -x "$target" ]; then continue; fi
  name=$(basename "$target")
  seeds="tests/fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  cp -r "$seeds"/. "$work"/ 2>/dev/null || true
  log="$build_dir/$name.log"
  if "$target" "$work" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -max_len=65536 \
       -artifact_prefix="$build_dir/$name-" > "$log" 2>&1; then
    runs=$(grep -o 'Done [0-9]* runs' "$log" | tail -n1 | grep -o '[0-9]*' || echo '?')
    echo "fuzz: $name clean, $runs executions in ${seconds}s"
  else
    echo "fuzz: $name FAILED, see $log" >&2
    tail -n 30 "$log" >&2
    status=1
  fi
  rm -rf "$work"
done
exit $status
