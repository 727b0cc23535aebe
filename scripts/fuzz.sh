#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UBSan) and runs
# each for SECONDS (default 60), one after the other, starting from the kept
# corpus and the inputs of fixed faults. Prints target | executions | seconds |
# findings; exit 0 only when nothing was found. Findings are kept in
# build-fuzz/findings/TARGET/ (add a fixed one to fuzz/crashes/TARGET/).
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
"$root/scripts/deps.sh" clang-14 libclang-rt-14-dev
cxx=$(command -v clang++-14)
build="$root/build-fuzz"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" "${launcher[@]}" -DKOLM_FUZZ=ON \
  -DKOLM_WERROR=ON -DKOLM_GUI=OFF -DKOLM_BENCH=OFF -DKOLM_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$root"/fuzz/targets/*.cpp; do targets+=("$(basename "$t" .cpp)"); done
fi
# The compiler's messages are shown only when the build fails.
if ! ninja -C "$build" "${targets[@]/#/fuzz_}" >"$build/build.log" 2>&1; then
  grep -E 'error|FAILED' "$build/build.log" | head -40
  echo "fuzz.sh: the fuzz targets do not build (whole log: $build/build.log)" >&2
  exit 2
fi

found=0
printf '%-12s | %12s | %7s | %s\n' target executions seconds findings
for t in "${targets[@]}"; do
  work="$build/run/$t"
  findings="$build/findings/$t"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$findings"
  cp "$root/fuzz/corpus/$t"/* "$work/corpus/" 2>/dev/null || true
  cp "$root/fuzz/crashes/$t"/* "$work/corpus/" 2>/dev/null || true
  cat "$root/fuzz/dicts/common.dict" "$root/fuzz/dicts/$t.dict" >"$work/dict" 2>/dev/null || true
  before=$(ls "$findings" | wc -l)
  start=$(date +%s)
  (cd "$work" && "$build/fuzz_$t" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
     -dict=dict -artifact_prefix="$findings/" corpus >log.txt 2>&1) || true
  elapsed=$(( $(date +%s) - start ))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log.txt" | tail -1)
  new=$(( $(ls "$findings" | wc -l) - before ))
  [ "$new" -gt 0 ] && found=1
  printf '%-12s | %12s | %7s | %s\n' "$t" "${runs:-?}" "$elapsed" "$new"
done
exit $found
