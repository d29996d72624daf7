#!/usr/bin/env bash
# Builds the game for the browser with Debian's emscripten and packs it:
#   <build>/site/            index.html, velmora.js, velmora.wasm and
#                            velmora.data (the Data folder and "StringData.txt"),
#                            with the service worker sw.js, the manifest and icons
#   <build>/velmora-web.zip  the same files, index.html at its root, ready for
#                            any static web host or game portal
# zlib and libpng are built once from Debian's sources into the build folder;
# the assets come from a native build, made here when none is named.
#   build-web.sh [BUILD_DIR]          default build-web
#   VELMORA_HOST_BUILD=DIR            the native build to take the assets from
#                                     (default build, configured if needed)
# Play it locally: python3 -m http.server 8000 --bind 127.0.0.1 -d build-web/site
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build-web}
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)
host_build=${VELMORA_HOST_BUILD:-$root/build}
jobs=${JOBS:-2}

# emscripten builds the game; chromium runs its tests.
missing=()
for package in emscripten chromium; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done
if ((${#missing[@]} > 0)); then
  sudo=""
  if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

"$root/scripts/build-web-libs.sh" "$build_dir"

if [[ ! -f $host_build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$host_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$host_build" -j "$jobs" --target velmora_assets

# emscripten's optimiser runs on Node and needs Debian's JavaScript modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/emscripten.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DVELMORA_WEB_PREFIX="$build_dir/web-prefix" -DVELMORA_HOST_BUILD_DIR="$host_build" \
  -DVELMORA_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j "$jobs" --target velmora_site

rm -f "$build_dir/velmora-web.zip"
(cd "$build_dir/site" && zip -q -X -r "$build_dir/velmora-web.zip" .)
echo "Web build ready: $build_dir/site and $build_dir/velmora-web.zip"
