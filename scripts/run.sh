#!/usr/bin/env bash
# Installs what is missing, builds Kolm and starts it. The program keeps its settings
# files in KOLM_WORKDIR, or in ~/kolm.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting under a virtual X server (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$root/build/kolm" "$@"
fi
exec "$root/build/kolm" "$@"
