#!/usr/bin/env bash
# Runs one command on a real X server with two monitors, the primary on the right: L 1280x1024 at
# 0,0 and R 1920x1200 at 1280,0 (Xorg's dummy driver, one output split into RandR 1.5 monitors),
# with a window manager and a tray host on the primary, in a scratch home; stops all of it
# afterwards whatever the command's outcome.
set -u
# shellcheck source=tests/harness/common.sh
source "$(dirname "$0")/common.sh"

start_scratch monitors

# One virtual screen large enough for both monitors; the modes come from xrandr below.
cat > "$scratch/xorg.conf" <<'CONF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 3200 1200
  EndSubSection
EndSection
CONF

# Xorg picks a free display number itself and writes it to the given descriptor.
exec 3> "$scratch/display"
Xorg -displayfd 3 -config "$scratch/xorg.conf" -noreset -nolisten tcp -logfile "$scratch/xorg.log" \
  > "$scratch/xorg.out" 2>&1 &
pids+=($!)
exec 3>&-
if ! wait_until 10 test -s "$scratch/display"; then
  echo "with-xorg-monitors: Xorg did not start" >&2
  cat "$scratch/xorg.out" "$scratch/xorg.log" >&2
  exit 1
fi
DISPLAY=":$(head -n1 "$scratch/display")"
export DISPLAY

# The pointer reaches only the output's mode: one mode over the whole desktop, then two monitors
# on it (the '*' makes R primary).
if ! { xrandr --newmode 3200x1200 325.00 3200 3440 3784 4368 1200 1203 1213 1245 -hsync +vsync &&
  xrandr --addmode DUMMY0 3200x1200 &&
  xrandr --output DUMMY0 --mode 3200x1200 &&
  xrandr --setmonitor L 1280/340x1024/270+0+0 none &&
  xrandr --setmonitor '*R' 1920/510x1200/320+1280+0 DUMMY0; } > "$scratch/xrandr.log" 2>&1; then
  echo "with-xorg-monitors: the monitors could not be set up" >&2
  cat "$scratch/xrandr.log" >&2
  exit 1
fi

use_scratch_home "$scratch"
# Tells a test which layout it runs on.
export SORVANE_MONITORS=primary-right
# No session bus: a test never reaches the user's keyring or desktop services.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/no-session-bus"

# shellcheck disable=SC2317 # run through wait_until
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
# shellcheck disable=SC2317 # run through wait_until
tray_ready() {
  xprop -root 2>/dev/null | grep -q '_NET_SYSTEM_TRAY_S0' || xdotool search --class trayer >/dev/null 2>&1
}

openbox --sm-disable > "$scratch/openbox.log" 2>&1 &
pids+=($!)
wait_until 5 wm_ready
trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
  --monitor primary > "$scratch/trayer.log" 2>&1 &
pids+=($!)
wait_until 5 tray_ready

"$@" &
child=$!
pids+=("$child")
wait $child
rc=$?
exit $rc
