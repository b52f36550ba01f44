#!/usr/bin/env bash
# Runs the client against the demo portal on 127.0.0.1:17300 in a demo working folder.
# Extra arguments go to the portal, e.g.  scripts/demo.sh --version "3.0.06;3.0.01"
# Environment: BUILD_DIR (default: <repo>/build), DEMO_DIR (default: $BUILD_DIR/demo).
set -u

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$repo/build}
demo=${DEMO_DIR:-$build/demo}
port=17300
portal_bin=$build/portal/portal
client_bin=$build/client/startup/clikw730

if [ ! -x "$client_bin" ]; then
  echo "demo: the client is not built yet ($client_bin is missing)" >&2
  exit 1
fi
if [ ! -x "$portal_bin" ]; then
  echo "demo: the portal is not built yet ($portal_bin is missing)" >&2
  exit 1
fi

mkdir -p "$demo"
# The client creates its settings file itself; seed one only so that it points at this portal.
if [ ! -e "$demo/mainkw.ini" ]; then
  printf '[linkinfo]\nwebroot=http://127.0.0.1:%s\nsavepass=0\naotologin=0\nuserid=\nuserpass=\nuserrole=\n' \
    "$port" > "$demo/mainkw.ini"
fi

portal_args=(--port "$port" --log "$demo/portal.log")
# The upgrade in the demo downloads the client that is built.
case " $* " in
  *" --download "*) ;;
  *) portal_args+=(--download "$client_bin") ;;
esac

portal_out=$(mktemp)
portal_pid=
# shellcheck disable=SC2317 # run by the trap below
stop_portal() {
  if [ -n "$portal_pid" ] && kill -0 "$portal_pid" 2>/dev/null; then
    kill -TERM "$portal_pid" 2>/dev/null
    for _ in $(seq 1 50); do
      kill -0 "$portal_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$portal_pid" 2>/dev/null
    wait "$portal_pid" 2>/dev/null
  fi
  rm -f "$portal_out"
}
trap stop_portal EXIT
trap 'exit 130' INT TERM

"$portal_bin" "${portal_args[@]}" "$@" > "$portal_out" 2>&1 &
portal_pid=$!
for _ in $(seq 1 100); do
  grep -q "portal listening on" "$portal_out" && break
  kill -0 "$portal_pid" 2>/dev/null || break
  sleep 0.1
done
if ! grep -q "portal listening on" "$portal_out"; then
  echo "demo: the portal did not start (is port $port taken?)" >&2
  cat "$portal_out" >&2
  exit 1
fi
echo "demo: portal on http://127.0.0.1:$port (user demo, password demo123); request log in $demo/portal.log"

# The engine's sandbox cannot start as root.
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_DISABLE_SANDBOX=1
fi
export PATH="$build/upgrader:$PATH"
cd "$demo" || exit 1
"$client_bin"
status=$?
echo "demo: client ended ($status); stopping the portal"
exit "$status"
