#!/usr/bin/env bash
# Installs what is missing, builds Kolm and runs every test with CTest.
#   scripts/test.sh                  the Release build (build/)
#   scripts/test.sh --decimal-comma  the same build's tests again under de_DE.UTF-8
#   scripts/test.sh --sanitize       the same tests under ASan + UBSan (build-asan/)
# KOLM_UNITY=ON compiles the libraries as unity builds (CI does: fewer, larger
# compiles for a clean build; an edit then recompiles its whole batch).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
unity=-DKOLM_UNITY="${KOLM_UNITY:-OFF}"
"$root/scripts/deps.sh"
if [ "${1:-}" = "--sanitize" ]; then
  dir="$root/build-asan"
  # Line tables only (-g1): enough for the sanitizers' stack traces, and quicker to compile.
  "$root/scripts/build.sh" "$dir" -DKOLM_SANITIZE=ON -DKOLM_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG=-g1 "$unity"
  # intercept_tls_get_addr=0: the leak checker of this toolchain walks the dynamic TLS blocks of
  # libraries loaded with dlopen (Qt's plugins) and faults on a stale one after every test passed
  # ("Tracer caught signal 11" at exit); leaks are still looked for, those blocks aside.
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
else
  dir="$root/build"
  "$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release "$unity"
  if [ "${1:-}" = "--decimal-comma" ]; then
    export LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8
  fi
fi
cd "$dir"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
