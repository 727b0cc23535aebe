#!/usr/bin/env bash
# Configures and builds into a folder: scripts/build.sh [build-dir] [extra cmake options...]
# Warnings are errors here (KOLM_WERROR); packagers building with plain cmake get them
# as warnings.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -G Ninja "${launcher[@]}" -DKOLM_WERROR=ON "$@" >/dev/null
ninja -C "$dir"
