#!/usr/bin/env bash
# Installs what is missing, builds Kolm and starts it (from a scratch working
# folder, where it keeps its settings files: KOLM_WORKDIR, default ~/kolm).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build"
work=${KOLM_WORKDIR:-$HOME/kolm}
mkdir -p "$work"
cd "$work"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting under a virtual X server (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$root/build/kolm" "$@"
fi
exec "$root/build/kolm" "$@"
