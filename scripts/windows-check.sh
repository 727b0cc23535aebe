#!/usr/bin/env bash
# Cross-compiles the core and kolm-cli.exe for 64-bit Windows with MinGW-w64 (the
# inpout32 port back end compiled in) and runs the command-line checks under Wine on
# the simulator. What kolm-cli.exe prints and writes must equal, byte for byte (line
# ends aside on the console), what the Linux kolm-cli gives for the same commands.
# Then the inpout32 loader: no library, a library whose driver does not start, and a
# driver that goes away in the middle of a pass (a stand-in library built here).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" g++-mingw-w64-x86-64 wine64
wine=$(command -v wine64 || command -v wine || command -v wine-stable || echo /usr/lib/wine/wine64)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
win="$root/build-windows"
native="$root/build-cli"
echo "== MinGW-w64 build of kolm-cli.exe ($win)"
cmake -S "$root" -B "$win" -G Ninja "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DKOLM_GUI=OFF -DKOLM_TESTS=OFF -DKOLM_BENCH=OFF -DKOLM_WERROR=ON >/dev/null
ninja -C "$win" kolm-cli | tail -1
exe="$win/kolm-cli.exe"
file "$exe" 2>/dev/null || true
echo "== Linux build of kolm-cli for the expected output ($native)"
cmake -S "$root" -B "$native" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=Release \
  -DKOLM_GUI=OFF -DKOLM_TESTS=OFF -DKOLM_BENCH=OFF -DKOLM_WERROR=ON >/dev/null
ninja -C "$native" kolm-cli | tail -1

export WINEPREFIX="$win/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/win" "$work/linux"
for d in win linux; do
  printf '"20"\r\n"20"\r\n"400"\r\n"888"\r\n"sim"\r\n' >"$work/$d/dds.cfg"
done
echo "== Wine: $("$wine" --version)"
"$wine" wineboot -i >/dev/null 2>&1 || true

failures=0
checks=0
# check NAME ARGS...: runs both, compares exit status and standard output.
check() {
  local name=$1
  shift
  local ws ls
  set +e
  (cd "$work/win" && "$wine" "$exe" "$@" </dev/null >"$work/win.out" 2>"$work/win.err")
  ws=$?
  (cd "$work/linux" && "$native/kolm-cli" "$@" </dev/null >"$work/linux.out" 2>"$work/linux.err")
  ls=$?
  set -e
  checks=$((checks + 1))
  tr -d '\r' <"$work/win.out" >"$work/win.txt"
  if [ $ws -ne $ls ] || ! cmp -s "$work/win.txt" "$work/linux.out"; then
    echo "FAIL  $name: exit $ws (Linux $ls)"
    diff "$work/linux.out" "$work/win.txt" | head -5 || true
    head -3 "$work/win.err"
    failures=$((failures + 1))
  else
    echo "ok    $name: exit $ws, $(head -1 "$work/win.txt")"
  fi
}
# same FILE: the file written by both runs is identical.
same() {
  checks=$((checks + 1))
  if cmp -s "$work/win/$1" "$work/linux/$1"; then
    echo "ok    $1 identical ($(wc -c <"$work/win/$1") bytes, $(wc -l <"$work/win/$1") lines)"
  else
    echo "FAIL  $1 differs"
    failures=$((failures + 1))
  fi
}
# expect NAME STATUS TEXT ARGS...: kolm-cli.exe alone, its status and a text in its output.
expect() {
  local name=$1 want=$2 text=$3 dir=$4
  shift 4
  local status
  set +e
  (cd "$dir" && "$wine" "$exe" "$@" </dev/null >"$work/out" 2>&1)
  status=$?
  set -e
  checks=$((checks + 1))
  if [ $status -eq "$want" ] && tr -d '\r' <"$work/out" | grep -qF -- "$text"; then
    echo "ok    $name: exit $status, \"$text\""
  else
    echo "FAIL  $name: exit $status (expected $want), wanted \"$text\" in:"
    tr -d '\r' <"$work/out" | head -8
    failures=$((failures + 1))
  fi
}

check "--version" --version
check "dds" --backend sim dds --freq 7.05
check "read-detector" --backend sim --dut atten:20 read-detector --freq 10
check "read-bridge" --backend sim --load 'rlc:r=75,l=1u,c=125p' read-bridge --freq 14
check "power-sweep" --backend sim --dut 'lowpass:fc=10,order=3' power-sweep --start 1 --stop 30 \
  --points 290 --out lp.csv
same lp.csv
check "analyze to CSV" --backend sim --load 'rlc:r=75,l=1u,c=125p' analyze --start 13 \
  --stop 15.5 --points 250 --out ant.csv
same ant.csv
check "analyze to .s1p" --backend sim --load 'rlc:r=75,l=1u,c=125p' analyze --start 13 \
  --stop 15.5 --points 250 --out ant.s1p
same ant.s1p
check "analyze to .vna" --backend sim --load open analyze --start 1 --stop 30 --points 100 \
  --out open.vna
same open.vna
check "analyze over an existing file" --backend sim --load short analyze --start 1 --stop 30 \
  --points 100 --out open.vna
same open.vna
check "port-test on the simulator" --backend sim port-test
check "a bad argument" --backend sim dds --freq seven

echo "== the inpout32 back end"
expect "no port library" 1 "inpoutx64.dll was not found" "$work/win" --backend inpout32 port-test
lib="$work/lib"
mkdir -p "$lib"
cp "$exe" "$work/win/dds.cfg" "$lib/"
x86_64-w64-mingw32-g++ -O2 -shared -static -o "$lib/inpoutx64.dll" \
  "$root/tests/windows/fake_port_library.cpp"
exe_in_lib="$lib/kolm-cli.exe"
run_lib() { exe="$exe_in_lib" expect "$@"; }
KOLM_FAKE_PORT_DRIVER=absent run_lib "driver not started" 1 "could not be started" "$lib" \
  --backend inpout32 port-test
run_lib "nothing on the port" 1 "FAIL  Status lines: pins 10, 12 and 13 read 1" "$lib" \
  --backend inpout32 port-test
KOLM_FAKE_PORT_FAIL_AFTER=3000 run_lib "driver gone in the middle of a pass" 3 \
  "stopped working: the inpout32 driver is no longer running" "$lib" \
  --backend inpout32 analyze --start 1 --stop 30 --points 500 --out gone.csv
checks=$((checks + 1))
if [ -e "$lib/gone.csv" ]; then
  echo "FAIL  a failed pass wrote gone.csv"
  failures=$((failures + 1))
else
  echo "ok    the failed pass wrote nothing"
fi

echo "windows-check: $((checks - failures)) passed, $failures failed"
[ $failures -eq 0 ]
