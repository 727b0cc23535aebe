#!/usr/bin/env bash
# Installs what building and testing Kolm needs on Debian, when it is missing,
# and the decimal-comma locale (de_DE.UTF-8) the tests run under a second time;
# further package names given as arguments are installed with it.
set -euo pipefail
packages=("$@" cmake ninja-build g++ pkg-config ccache qt6-base-dev qt6-base-dev-tools
          qt6-tools-dev qt6-l10n-tools qt6-svg-dev libgl1-mesa-dev
          libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth locales desktop-file-utils
          appstream libasio-dev python3-numpy python3-pytest python3-pyvisa-py)
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "Generating the locale de_DE.UTF-8"
  $SUDO localedef -i de_DE -c -f UTF-8 de_DE.UTF-8
fi
