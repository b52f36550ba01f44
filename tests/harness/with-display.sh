#!/usr/bin/env bash
# Runs one command under a private virtual display with a window manager and a tray host,
# in a scratch home, and stops all of it afterwards whatever the command's outcome.
# SORVANE_TRAY picks the tray: "xembed" (trayer, the default), "sni" (lxqt-panel's status notifier
# host on a session bus of its own) or "none" (a desktop without any tray).
set -u
tray=${SORVANE_TRAY:-xembed}

scratch=$(mktemp -d /tmp/sorvane-display.XXXXXX)
pids=()
# shellcheck disable=SC2317 # run by the trap below
cleanup() {
  for ((i=${#pids[@]}-1; i>=0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
  sleep 0.2 # a moment to end on their own before they are killed
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null; done
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display number itself and writes it to the given descriptor.
exec 3> "$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset > "$scratch/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 1 100); do
  [ -s "$scratch/display" ] && break
  sleep 0.05 # polling step of a bounded wait for the service above
done
if [ ! -s "$scratch/display" ]; then
  echo "with-display: Xvfb did not start" >&2
  cat "$scratch/xvfb.log" >&2
  exit 1
fi
DISPLAY=":$(head -n1 "$scratch/display")"
export DISPLAY

mkdir -p "$scratch/home" "$scratch/runtime"
chmod 700 "$scratch/runtime"
export HOME="$scratch/home"
export XDG_RUNTIME_DIR="$scratch/runtime"
export XDG_CONFIG_HOME="$scratch/home/.config"
export XDG_DATA_HOME="$scratch/home/.local/share"
export XDG_CACHE_HOME="$scratch/home/.cache"
# No session bus: a test never reaches the user's keyring or desktop services. The socket does not
# exist, so nothing is started in its place either (with-keyring.sh brings its own bus).
export DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/no-session-bus"

openbox --sm-disable > "$scratch/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05 # polling step of a bounded wait for the service above
done
case "$tray" in
xembed)
  trayer --edge bottom --align right --widthtype pixel --width 120 --heighttype pixel --height 24 \
    > "$scratch/trayer.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 1 100); do
    xprop -root 2>/dev/null | grep -q '_NET_SYSTEM_TRAY_S0' && break
    xdotool search --class trayer >/dev/null 2>&1 && break
    sleep 0.05 # polling step of a bounded wait for the service above
  done
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
  for _ in $(seq 1 200); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
      string:org.kde.StatusNotifierWatcher 2>/dev/null | grep -q 'boolean true' && break
    sleep 0.05 # polling step of a bounded wait for the service above
  done
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
