#!/usr/bin/env bash
# Installs the Debian packages Velmora needs to build, run and test, if any
# is missing. Safe to run again; does nothing when everything is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang pkg-config
  libgtest-dev libpng-dev zlib1g-dev libsdl2-dev libstb-dev libvorbis-dev
  libgl-dev libgl1-mesa-dri libosmesa6-dev mesa-utils
  xvfb xdotool imagemagick x11-utils python3 libx11-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev wine wine64 dpkg-dev zip
  emscripten chromium
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
