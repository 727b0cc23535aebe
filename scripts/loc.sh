#!/usr/bin/env bash
# Counts the lines that are neither blank nor only comment: code (src/, bench/
# and the Python package) against tests (tests/, the fuzz targets with their
# harness, and the Python tests).
# Fuzz corpora, kept crash inputs, dictionaries, golden data and screenshots
# are data and are not counted.
#   scripts/loc.sh            prints code, tests, the tests' share of both and
#                             the tests against the code alone
#   scripts/loc.sh --files    also each counted file, tests first, largest first
set -euo pipefail
cd "$(dirname "$0")/.."

# Non-blank, non-comment lines of the files named on stdin (one a line), as
# "count path" lines. A line counts when anything but a comment is on it.
count() {
  while IFS= read -r f; do
    LC_ALL=C awk -v path="$f" '
      {
        line = $0; code = 0
        while (length(line) > 0) {
          if (inblock) {
            end = index(line, "*/")
            if (end == 0) { line = ""; break }
            line = substr(line, end + 2); inblock = 0; continue
          }
          sub(/^[ \t\r]+/, "", line)
          if (line == "") break
          if (substr(line, 1, 2) == "//") break
          if (substr(line, 1, 2) == "/*") { inblock = 1; line = substr(line, 3); continue }
          if (substr(line, 1, 1) == "#" && path ~ /\.(cmake|py)$/) break
          code = 1  # whatever follows, this is a line of code
          break
        }
        if (code) n++
      }
      END { printf "%d %s\n", n, path }' "$f"
  done
}

code_files() {
  { find src bench -type f \( -name '*.cpp' -o -name '*.h' \)
    find python -path python/tests -prune -o -type f -name '*.py' -print; } | LC_ALL=C sort
}
test_files() {
  { find tests -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.cmake' \)
    find fuzz -type f \( -name '*.cpp' -o -name '*.h' \)
    find python/tests -type f -name '*.py'; } | LC_ALL=C sort
}

code_counts=$(code_files | count)
test_counts=$(test_files | count)
code=$(awk '{ s += $1 } END { print s + 0 }' <<<"$code_counts")
tests=$(awk '{ s += $1 } END { print s + 0 }' <<<"$test_counts")
if [ "${1:-}" = "--files" ]; then
  echo "== tests"; sort -rn <<<"$test_counts"
  echo "== code"; sort -rn <<<"$code_counts"
fi
awk -v c="$code" -v t="$tests" 'BEGIN {
  printf "code   %6d  (src/, bench/, python/)\n", c
  printf "tests  %6d  (tests/, fuzz/ targets, python/tests/)\n", t
  printf "ratio  %6.1f %% tests of %d lines\n", (c + t) ? 100 * t / (c + t) : 0, c + t
  printf "tests/code %4.1f %% (test lines against code lines alone)\n", c ? 100 * t / c : 0
}'
