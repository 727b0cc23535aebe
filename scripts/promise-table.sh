#!/usr/bin/env bash
# Builds the Release programs and prints the analyzer's promise table: what its
# readings promise (truth inside the interval or marked, the intervals' widths,
# the marks' share), measured over many loads on the ideal, typical and harsh
# simulated boards (bench/promise/promise_table.cpp says how to add a figure).
#   scripts/promise-table.sh [build-dir] [promise_table options: --points N --loads SET]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
shift || true
"$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release -DKOLM_BENCH=ON >/dev/null
"$dir/promise_table" "$@"
