#!/usr/bin/env bash
# Builds zlib and libpng for the browser, static, with emscripten, from
# Debian's zlib and libpng1.6 source packages. Everything lands in the given
# build folder, never in the repository:
#   <build>/web-sources/  the unpacked source packages
#   <build>/web-prefix/   include/png.h, include/zlib.h, lib/libpng.a, lib/libz.a
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

if [[ ! -f $prefix/lib/libpng16.a ]]; then
  object_dir=$(ConfigureForWeb libpng1.6 "$build_dir" "$prefix" --host=wasm32-unknown-emscripten --disable-shared \
    --enable-static CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib")
  Quietly "$object_dir.log" emmake make -C "$object_dir" -j2 libpng16.la
  Quietly "$object_dir.log" emmake make -C "$object_dir" install-libLTLIBRARIES install-pkgincludeHEADERS \
    install-nodist_pkgincludeHEADERS
  cp -f "$prefix"/include/libpng16/*.h "$prefix/include/"
  ln -sf libpng16.a "$prefix/lib/libpng.a"
fi
echo "zlib and libpng for the web: $prefix/lib"
