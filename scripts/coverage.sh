#!/usr/bin/env bash
# Line and branch coverage by the whole test suite, measured with gcovr in its
# own build folder (build-cov/, an unoptimised build with --coverage): the core's
# (kolm_core) and the whole of src/'s. Exits 1 when a test fails or the core's
# lines fall below 95 %; gcovr's per-file table of the core with --files.
#   scripts/coverage.sh [--files]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" gcovr
dir="$root/build-cov"
# The least share of the core's lines its tests must run.
min_core_lines=95
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$dir" -G Ninja "${launcher[@]}" -DKOLM_WERROR=ON -DKOLM_BENCH=OFF \
      -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="--coverage -O0" \
      -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
ninja -C "$dir"
# A test file deleted since the last run leaves its object and notes behind;
# gcovr would read those notes as lines never run.
ninja -C "$dir" -t cleandead >/dev/null
find "$dir" -name '*.gcno' | while read -r g; do [ -e "${g%.gcno}.o" ] || rm -f "$g"; done
find "$dir" -name '*.gcda' -delete
# The whole suite as CI runs it, each test in a process of its own (the core and
# window tests, kolm-cli and the program through their tests, the replays of the
# kept fuzz corpus through every reader): one binary running all its tests in
# one process lets a test's leftovers change the next one's outcome. SIGINT's
# default action back: a background start leaves it ignored, and the command
# line's and the program's stop tests send it. A failing test is reported and
# fails the run; the figures are printed all the same.
status=0
(cd "$dir" && env --default-signal=INT QT_QPA_PLATFORM=offscreen ctest -j2 -Q --output-on-failure) ||
  status=$?
[ "$status" -eq 0 ] || echo "coverage.sh: some tests failed (status $status)" >&2
# Every source under src/ once; the figures are summed per part from the files'.
filters=(-j 2 --root "$root" --filter "$root/src/" --object-directory "$dir"
         --exclude-unreachable-branches --exclude-throw-branches --gcov-ignore-parse-errors)
if [ "${1:-}" = "--files" ]; then
  gcovr "${filters[@]}" --exclude '.*/ui/.*' --exclude "$root/src/app/.*" --exclude "$root/src/cli/.*"
fi
# The report goes to a scratch file: gcovr replaces its output file, which as
# root would replace /dev/null itself.
report=$(mktemp)
gcovr "${filters[@]}" --json-summary "$report" >/dev/null
# The core is kolm_core: src/ without the windows (ui/ folders), the launcher
# (app/) and the command line (cli/). It must keep 95 % of its lines run.
python3 - "$report" "$min_core_lines" <<'PY' || status=$?
import json, re, sys
files = json.load(open(sys.argv[1]))["files"]
def part(name, keep):
    chosen = [f for f in files if keep(f["filename"])]
    sums = {k: sum(f[k] for f in chosen)
            for k in ("line_covered", "line_total", "branch_covered", "branch_total")}
    lines = 100 * sums["line_covered"] / max(sums["line_total"], 1)
    branches = 100 * sums["branch_covered"] / max(sums["branch_total"], 1)
    print(f"{name}: lines {lines:.1f}% ({sums['line_covered']} of {sums['line_total']}), "
          f"branches {branches:.1f}% ({sums['branch_covered']} of {sums['branch_total']})")
    return sums["line_covered"], sums["line_total"]
covered, total = part("core", lambda f: not re.search(r"(^|/)(ui|app|cli)/", f))
part("whole", lambda f: True)
minimum = float(sys.argv[2])
if total == 0 or 100 * covered < minimum * total:
    print(f"coverage.sh: the core's lines are below {minimum:g}%", file=sys.stderr)
    sys.exit(1)
PY
rm -f "$report"
exit "$status"
