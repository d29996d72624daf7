#!/usr/bin/env bash
# Builds every library the Windows build links, static, into
# <build>/windows-prefix: libpng, libogg and libvorbis from Debian's source
# packages, and GoogleTest from Debian's copy of its sources. Each is built
# once; the mirror of build-web-libs.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:?usage: build-windows-libs.sh BUILD_DIR}
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)
prefix=$build_dir/windows-prefix

"$root/scripts/build-windows-libpng.sh" "$build_dir"
"$root/scripts/build-windows-vorbis.sh" "$build_dir"

if [[ ! -f $prefix/lib/libgtest_main.a ]]; then
  echo "Building GoogleTest for Windows"
  mkdir -p "$build_dir/windows-objects"
  cmake -S /usr/src/googletest -B "$build_dir/windows-objects/googletest" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON >"$build_dir/windows-objects/googletest.log" 2>&1
  ninja -C "$build_dir/windows-objects/googletest" -j "${JOBS:-2}" install >>"$build_dir/windows-objects/googletest.log"
fi
