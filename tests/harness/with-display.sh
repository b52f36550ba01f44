#!/usr/bin/env bash
# Runs one command under a private virtual display with a window manager and a tray host,
# in a scratch home, and stops all of it afterwards whatever the command's outcome.
# SORVANE_TRAY picks the tray: "xembed" (trayer, the default), "sni" (lxqt-panel's status notifier
# host on a session bus of its own) or "none" (a desktop without any tray).
set -u
# shellcheck source=tests/harness/common.sh
source "$(dirname "$0")/common.sh"
tray=${SORVANE_TRAY:-xembed}

start_scratch display

# Xvfb picks a free display number itself and writes it to the given descriptor.
exec 3> "$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset > "$scratch/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
if ! wait_until 5 test -s "$scratch/display"; then
  echo "with-display: Xvfb did not start" >&2
  cat "$scratch/xvfb.log" >&2
  exit 1
fi
DISPLAY=":$(head -n1 "$scratch/display")"
export DISPLAY

use_scratch_home "$scratch"
# No session bus: a test never reaches the user's keyring or desktop services. The socket does not
# exist, so nothing is started in its place either (with-keyring.sh brings its own bus).
export DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/no-session-bus"

# shellcheck disable=SC2317 # run through wait_until
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
# shellcheck disable=SC2317 # run through wait_until
tray_ready() {
  xprop -root 2>/dev/null | grep -q '_NET_SYSTEM_TRAY_S0' || xdotool search --class trayer >/dev/null 2>&1
}
# shellcheck disable=SC2317 # run through wait_until
sni_ready() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.kde.StatusNotifierWatcher 2>/dev/null | grep -q 'boolean true'
}

openbox --sm-disable > "$scratch/openbox.log" 2>&1 &
pids+=($!)
wait_until 5 wm_ready
case "$tray" in
xembed)
  trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
    > "$scratch/trayer.log" 2>&1 &
  pids+=($!)
  wait_until 5 tray_ready
  ;;
sni)
  dbus-daemon --session --fork --nopidfile --address="unix:path=$scratch/bus" \
    --print-pid=4 4> "$scratch/bus.pid" > "$scratch/bus.log" 2>&1
  pids+=("$(cat "$scratch/bus.pid")")
  export DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/bus"
  mkdir -p "$XDG_CONFIG_HOME/lxqt"
  printf '[General]\npanels=panel1\n\n[panel1]\nplugins=statusnotifier\nposition=Bottom\n\n[statusnotifier]\ntype=statusnotifier\n' \
    > "$XDG_CONFIG_HOME/lxqt/panel.conf"
  # The panel is a Qt program itself: keep it off the offscreen platform a test may ask for.
  QT_QPA_PLATFORM=xcb lxqt-panel > "$scratch/panel.log" 2>&1 &
  pids+=($!)
  wait_until 10 sni_ready
  ;;
none) ;;
*)
  echo "with-display: unknown tray '$tray'" >&2
  exit 2
  ;;
esac

"$@" &
child=$!
pids+=("$child")
wait $child
rc=$?
exit $rc
