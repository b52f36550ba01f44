#!/usr/bin/env bash
# Runs one command inside GNOME's compositor, headless with one virtual monitor, on a session bus
# of its own, in a scratch home. The command gets WAYLAND_DISPLAY, and DISPLAY/XAUTHORITY for
# Xwayland, which mutter starts when the first X client connects. There is no tray.
set -u
# shellcheck source=tests/harness/common.sh
source "$(dirname "$0")/common.sh"

scratch=$(mktemp -d /tmp/sorvane-mutter.XXXXXX)
# shellcheck disable=SC2317 # run by the trap below
cleanup() { rm -rf "$scratch"; }
trap cleanup EXIT
trap 'exit 130' INT TERM

use_scratch_home "$scratch"
export XDG_SESSION_TYPE=wayland
unset DISPLAY WAYLAND_DISPLAY
# What the test sets for Qt is the user's choice, and the point here is what the programs choose
# themselves in a Wayland session; SORVANE_TEST_QPA (when set) is handed on instead.
unset QT_QPA_PLATFORM
[ -n "${SORVANE_TEST_QPA:-}" ] && export QT_QPA_PLATFORM="$SORVANE_TEST_QPA"

# mutter ends with the command and fails when it failed; the session bus ends with mutter.
dbus-run-session -- mutter --wayland --headless --virtual-monitor 1280x1024 -- "$@" > "$scratch/mutter.log" 2>&1
rc=$?
[ $rc -ne 0 ] && cat "$scratch/mutter.log" >&2
exit $rc
