#!/usr/bin/env bash
# Cross-builds the whole game for Windows with mingw-w64, tests included, and
# packs velmora-windows.zip. Libraries for Windows (libpng, libogg and
# libvorbis for the sound tests, GoogleTest) are built once from Debian's
# sources into the build folder; the assets come from a host build, which is
# made here when none is named.
#   build-windows.sh [BUILD_DIR]          default build-win
#   VELMORA_HOST_BUILD=DIR                a native build to take the assets from
#                                         (default build-winhost, made if needed)
# Then: ctest --test-dir BUILD_DIR        every test, under Wine
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build-win}
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)
host_build=${VELMORA_HOST_BUILD:-$root/build-winhost}
prefix=$build_dir/windows-prefix
jobs=${JOBS:-2}
toolchain=$root/cmake/mingw-w64.cmake

"$root/scripts/build-windows-libs.sh" "$build_dir"

# The assets: the host build's tool makes them; only its asset target is built.
if [[ ! -f $host_build/CMakeCache.txt ]]; then
  cmake -S "$root" -B "$host_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TESTS=OFF >/dev/null
fi
cmake --build "$host_build" -j "$jobs" --target velmora_assets

cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_WINDOWS_PREFIX="$prefix" -DVELMORA_HOST_BUILD_DIR="$host_build" -DVELMORA_TESTS=ON >/dev/null
cmake --build "$build_dir" -j "$jobs"
cmake --build "$build_dir" --target velmora-windows-zip

# The Wine prefixes the tests run in, made once so no test waits for one.
source "$root/tests/windows/wine-env.sh"
UseWinePrefix "$build_dir/wineprefix"
UseWinePrefix "$build_dir/wineprefix-display"
echo "Windows build ready: $build_dir/velmora-windows.zip; tests: ctest --test-dir $build_dir"
