#!/usr/bin/env bash
# Sourced by the with-*.sh scripts: what every test environment does the same way.

# A private home and runtime folder under the given folder, so a test never meets the user's own.
use_scratch_home() {
  mkdir -p "$1/home" "$1/runtime"
  chmod 700 "$1/runtime"
  export HOME="$1/home"
  export XDG_RUNTIME_DIR="$1/runtime"
  export XDG_CONFIG_HOME="$1/home/.config"
  export XDG_DATA_HOME="$1/home/.local/share"
  export XDG_CACHE_HOME="$1/home/.cache"
}

# wait_until SECONDS COMMAND...: runs COMMAND until it succeeds, for at most SECONDS; the status
# says whether it did. For services that give nothing to wait on but their own answer.
wait_until() {
  local steps=$(($1 * 20)) i
  shift
  for ((i = 0; i < steps; i++)); do
    "$@" && return 0
    sleep 0.05 # polling step of a bounded wait
  done
  "$@"
}

# start_scratch NAME: a scratch folder in $scratch, and services whose pids are added to $pids are
# stopped (last first) and the folder removed when the script ends, whatever its outcome.
start_scratch() {
  scratch=$(mktemp -d "/tmp/sorvane-$1.XXXXXX")
  pids=()
  trap stop_scratch EXIT
  trap 'exit 130' INT TERM
}

# shellcheck disable=SC2317 # run by the trap set above
stop_scratch() {
  for ((i=${#pids[@]}-1; i>=0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
  sleep 0.2 # a moment to end on their own before they are killed
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
  rm -rf "$scratch"
}
