#!/usr/bin/env bash
# Line and branch coverage of kolm_core by the core and window tests and the
# replays of the kept fuzz corpus through every reader, measured
# with gcovr in its own build folder (build-cov/, an unoptimised build with
# --coverage). Prints the two figures; gcovr's per-file table with --files.
#   scripts/coverage.sh [--files]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" gcovr
dir="$root/build-cov"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$dir" -G Ninja "${launcher[@]}" -DKOLM_WERROR=ON -DKOLM_BENCH=OFF \
      -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="--coverage -O0" \
      -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
fuzzers=()
for t in "$root"/fuzz/targets/*.cpp; do fuzzers+=("fuzz_$(basename "$t" .cpp)"); done
ninja -C "$dir" kolm_core_tests kolm_ui_tests "${fuzzers[@]}"
# A test file deleted since the last run leaves its object and notes behind;
# gcovr would read those notes as lines never run.
ninja -C "$dir" -t cleandead >/dev/null
find "$dir" -name '*.gcno' | while read -r g; do [ -e "${g%.gcno}.o" ] || rm -f "$g"; done
find "$dir" -name '*.gcda' -delete
# Some tests expect failures on purpose; the figures are what matters here,
# and a failing test is reported, not hidden.
status=0
# SIGINT's default action back: a background start leaves it ignored, and the
# command line's and the program's stop tests send it.
(cd "$dir" && env --default-signal=INT ./kolm_core_tests --gtest_brief=1) || status=$?
(cd "$dir" && env --default-signal=INT QT_QPA_PLATFORM=offscreen ./kolm_ui_tests --gtest_brief=1) || status=$?
(cd "$dir" && ctest -Q -R '^fuzz_replay[.]' --output-on-failure) || status=$?
[ "$status" -eq 0 ] || echo "coverage.sh: some tests failed (status $status)" >&2
# The core only: the Qt windows, the launcher and the command line are left out.
filters=(--root "$root" --filter "$root/src/" --exclude '.*/ui/.*' --exclude "$root/src/app/.*"
         --exclude "$root/src/cli/.*" --object-directory "$dir"
         --exclude-unreachable-branches --exclude-throw-branches --gcov-ignore-parse-errors)
if [ "${1:-}" = "--files" ]; then
  gcovr "${filters[@]}"
fi
# The report goes to a scratch file: gcovr replaces its output file, which as
# root would replace /dev/null itself.
report=$(mktemp)
gcovr "${filters[@]}" --print-summary -o "$report" | grep -E '^(lines|branches):'
rm -f "$report"
exit "$status"
