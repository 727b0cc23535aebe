#!/usr/bin/env bash
# Compiles the core, kolm-cli and the fuzz targets' replay programs with clang 14,
# warnings as errors, into build-clang/: the second compiler that keeps code GCC
# accepts but clang refuses (and so the fuzz build) from coming back. Compile and
# link only; nothing is run. KOLM_JOBS sets the parallel jobs (default 2).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" clang-14
build="$root/build-clang"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$(command -v clang++-14)" \
  "${launcher[@]}" -DKOLM_WERROR=ON -DKOLM_GUI=OFF -DKOLM_TESTS=OFF -DKOLM_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
ninja -C "$build" -j"${KOLM_JOBS:-2}" "$@"
