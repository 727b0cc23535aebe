#!/usr/bin/env bash
# Installs what building and testing Kolm needs on Debian, when it is missing;
# further package names given as arguments are installed with it.
set -euo pipefail
packages=("$@" cmake ninja-build g++ pkg-config ccache qt6-base-dev qt6-base-dev-tools
          qt6-tools-dev qt6-l10n-tools libgl1-mesa-dev
          libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth desktop-file-utils appstream)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
