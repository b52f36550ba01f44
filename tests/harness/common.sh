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
