#!/usr/bin/env bash
# Prints the crystal meter's promise table: crystals generated over 1-30 MHz, R 5-300 ohm,
# Cs 4-30 fF, C0 1.5-7 pF (100 unless a count is given), each measured through the simulated
# instrument under every setup (board, calibration state, span, repeats, finding the crystal):
# for each value, how many of those given lie inside their interval (a failure lists the ones
# outside); then the ladder filters built from 20 measured batches against their predictions'
# spread. Builds the Release tests first.
#   scripts/crystal-promise.sh [build-dir] [crystals]     (build, 100)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build}
"$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
KOLM_PROMISE_TABLE=1 KOLM_PROMISE_CRYSTALS=${2:-100} \
  "$dir/kolm_core_tests" --gtest_filter='CrystalPromise.*' --gtest_brief=1
