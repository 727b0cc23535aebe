#!/usr/bin/env bash
# Builds the Debian package (cpack -G DEB) from the Release build in build/ (the one
# scripts/test.sh makes), installs it with apt as a user would, checks that its
# dependencies cover every library the installed programs load, validates the desktop
# files, and tries the installed programs: kolm-cli --version, a simulated analysis
# from a scratch folder, and kolm offscreen for one second. The package is removed again at the end (--keep keeps it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
keep=0
[ "${1:-}" = "--keep" ] && keep=1
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo

# dpkg-shlibdeps (dpkg-dev) and file read the dependencies off the binaries; deps.sh
# also brings the desktop-file and AppStream validators.
"$root/scripts/deps.sh" dpkg-dev file man-db

dir="$root/build"
echo "== Release build ($dir)"
"$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release >/dev/null
echo "== cpack -G DEB"
rm -f "$dir"/kolm_*.deb
(cd "$dir" && cpack -G DEB | grep -v '^CPack: - ' || true)
deb=$(ls "$dir"/kolm_*.deb)
echo "$(basename "$deb"): $(du -h "$deb" | cut -f1)"
dpkg-deb --field "$deb" Package Version Architecture Depends
dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v '/$'

echo "== apt-get install ./$(basename "$deb")"
(cd "$dir" && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --reinstall \
  "./$(basename "$deb")" 2>&1 | grep -E '^(Setting up|Unpacking|[0-9]+ upgraded)' || true)
cleanup() { [ $keep -eq 1 ] || $SUDO apt-get remove -y -qq kolm >/dev/null 2>&1 || true; }
trap cleanup EXIT

echo "== every library the installed programs load comes with the package's dependencies"
closure=$(apt-cache depends --recurse --installed --no-recommends --no-suggests --no-conflicts \
  --no-breaks --no-replaces --no-enhances kolm | grep -v '^ ' | sed 's/:.*//' | sort -u)
owner() {  # the package of a library file, whether dpkg knows it under /usr or not
  local f=$1
  dpkg -S "$f" 2>/dev/null || dpkg -S "${f#/usr}" 2>/dev/null || dpkg -S "/usr$f" 2>/dev/null || true
}
libs=0
uncovered=0
plugins=$(ls /usr/lib/*/qt6/plugins/platforms/libq{xcb,offscreen}.so 2>/dev/null || true)
for bin in /usr/bin/kolm /usr/bin/kolm-cli $plugins; do
  for lib in $(ldd "$bin" | awk '/=>/ {print $3}'); do
    real=$(readlink -f "$lib")
    pkg=$(owner "$real" | head -1 | cut -d: -f1)
    [ -z "$pkg" ] && pkg=$(owner "$lib" | head -1 | cut -d: -f1)
    libs=$((libs + 1))
    if [ -z "$pkg" ] || ! grep -qx "$pkg" <<<"$closure"; then
      echo "NOT COVERED: $bin needs $lib (${pkg:-no package})"
      uncovered=$((uncovered + 1))
    fi
  done
done
echo "$libs library links checked, $uncovered not covered"
[ $uncovered -eq 0 ]

echo "== validators"
desktop-file-validate /usr/share/applications/org.kolm.Kolm.desktop && echo "desktop-file-validate: ok"
appstreamcli validate --no-net /usr/share/metainfo/org.kolm.Kolm.metainfo.xml
man -w kolm kolm-cli

echo "== installed programs"
command -v kolm kolm-cli
kolm-cli --version
kolm --version
scratch=$(mktemp -d)
printf '"20"\r\n"20"\r\n"400"\r\n"888"\r\n"sim"\r\n' >"$scratch/dds.cfg"
(cd "$scratch" && kolm-cli --backend sim --load 'rlc:r=75,l=1u,c=125p' analyze --start 13 \
  --stop 15.5 --points 250 --out ant.s1p && head -4 ant.s1p && wc -l ant.s1p)
(cd "$scratch" && kolm-cli port-test | tail -1)
set +e
KOLM_WORKDIR="$scratch/settings" QT_QPA_PLATFORM=offscreen timeout 1 kolm 2>"$scratch/kolm.err"
status=$?
set -e
if [ $status -ne 124 ]; then
  echo "kolm ended with status $status within one second:"
  cat "$scratch/kolm.err"
  exit 1
fi
echo "kolm ran offscreen for one second (stopped by timeout); settings folder:" \
  "$(ls "$scratch/settings" | tr '\n' ' ')"
[ -s "$scratch/kolm.err" ] && { echo "kolm said:"; cat "$scratch/kolm.err"; }
rm -rf "$scratch"
echo "package.sh: all checks passed"
