#!/usr/bin/env bash
# Builds zlib and libpng for the browser, static, with emscripten, from
# Debian's zlib and libpng1.6 source packages. Everything lands in the given
# build folder, never in the repository:
#   <build>/web-sources/  the unpacked source packages
#   <build>/web-prefix/   include/png.h, include/zlib.h, lib/libpng16.a (and libpng.a), lib/libz.a
# Does nothing when the libraries are already there.
set -euo pipefail
source "$(dirname "$0")/debian-source.sh"

build_dir=${1:?usage: build-web-libs.sh BUILD_DIR}
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)
prefix=$build_dir/web-prefix

if [[ ! -f $prefix/lib/libz.a ]]; then
  object_dir=$(ConfigureForWeb zlib "$build_dir" "$prefix" --static)
  Quietly "$object_dir.log" emmake make -C "$object_dir" -j2 libz.a
  Quietly "$object_dir.log" emmake make -C "$object_dir" install
fi

# libpng's CMake build asks the compiler a few dozen questions where its
# configure script asks hundreds, each a slow start of emscripten.
if [[ ! -f $prefix/lib/libpng16.a ]]; then
  source_dir=$(FetchDebianSource libpng1.6 "$build_dir/web-sources")
  object_dir=$build_dir/web-objects/libpng1.6
  rm -rf "$object_dir" "$object_dir.log"
  Quietly "$object_dir.log" emcmake cmake -S "$source_dir" -B "$object_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
  Quietly "$object_dir.log" cmake --build "$object_dir" -j2 --target install
fi
echo "zlib and libpng for the web: $prefix/lib"
