#!/usr/bin/env bash
# Installs the Debian packages Velmora needs, if any is missing. Safe to run
# again; does nothing when everything is there.
#
#   install-deps.sh play      what building and running the game needs
#   install-deps.sh package   that and what packing the Debian package needs
#   install-deps.sh           all that and everything the tests need
#   install-deps.sh play --list   prints the play packages, one a line, and installs nothing
set -euo pipefail

# The compiler and build tools, the libraries the game links, the asset
# tool's Vorbis encoder and Mesa's GL drivers.
play_packages=(
  cmake ninja-build g++ pkg-config
  libpng-dev zlib1g-dev libsdl2-dev libstb-dev libvorbis-dev libx11-dev libgl-dev libgl1-mesa-dri
)
# CPack's Debian packages: dpkg-shlibdeps finds the libraries the program
# needs, with file telling programs apart.
package_packages=(dpkg-dev file)
# Tests, pixel tests on Mesa's software renderer, end-to-end runs under Xvfb,
# fuzzers, and the Windows build under Wine.
test_packages=(
  clang libgtest-dev libosmesa6-dev mesa-utils
  xvfb xdotool imagemagick x11-utils python3
  g++-mingw-w64-x86-64-posix mingw-w64-tools libz-mingw-w64-dev wine wine64 dpkg-dev zip
  emscripten chromium nodejs
  # the checks of the Debian package
  lintian desktop-file-utils appstream
)

packages=("${play_packages[@]}")
if [[ ${1:-} != play ]]; then
  packages+=("${package_packages[@]}")
fi
if [[ -z ${1:-} ]]; then
  packages+=("${test_packages[@]}")
fi
if [[ ${2:-} == --list ]]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

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
