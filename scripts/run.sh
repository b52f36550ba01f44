#!/usr/bin/env bash
# Starts the built client in the current directory (its settings file "mainkw.ini" lives there).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
exec "$root/${BUILD_DIR:-build}/client/startup/clikw730" "$@"
