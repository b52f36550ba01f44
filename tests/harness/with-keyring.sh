#!/usr/bin/env bash
# Runs one command inside a private D-Bus session with its own keyring daemon (Secret Service
# only), unlocked with a known password, in a scratch home, so it never meets the user's real
# keyring. Stops the daemon afterwards whatever the command's outcome; the session bus ends with
# dbus-run-session. The daemon's pid is in SORVANE_KEYRING_DAEMON_PID.
set -u

if [ -z "${SORVANE_KEYRING_SESSION:-}" ]; then
  export SORVANE_KEYRING_SESSION=1
  exec dbus-run-session -- "$0" "$@"
fi

# shellcheck source=tests/harness/common.sh
source "$(dirname "$0")/common.sh"
scratch=$(mktemp -d /tmp/sorvane-keyring.XXXXXX)
daemon=
# shellcheck disable=SC2317 # run by the trap below
cleanup() {
  if [ -n "$daemon" ]; then
    # A test may have stopped the daemon to play a stuck keyring.
    kill -CONT "$daemon" 2>/dev/null
    kill "$daemon" 2>/dev/null
    wait "$daemon" 2>/dev/null
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

use_scratch_home "$scratch"

# --unlock reads the login keyring's password from stdin and creates that keyring unlocked.
printf '%s' 'sorvane-test-keyring' |
  gnome-keyring-daemon --foreground --unlock --components=secrets > "$scratch/daemon.log" 2>&1 &
daemon=$!
# shellcheck disable=SC2317 # run through wait_until
has_owner() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets 2>/dev/null | grep -q 'boolean true'
}
if ! wait_until 5 has_owner; then
  echo "with-keyring: the keyring daemon did not start" >&2
  cat "$scratch/daemon.log" >&2
  exit 1
fi
export SORVANE_KEYRING_DAEMON_PID=$daemon

"$@" &
child=$!
wait $child
exit $?
