#!/usr/bin/env bash
# Builds libpng for Windows, static, from Debian's libpng1.6 source package,
# against the mingw-w64 zlib. Everything lands in the given build folder,
# never in the repository:
#   <build>/windows-sources/  the unpacked source package
#   <build>/windows-prefix/   include/png.h and lib/libpng16.a (and libpng.a)
# Does nothing when the library is already there.
set -euo pipefail
source "$(dirname "$0")/debian-source.sh"

build_dir=${1:?usage: build-windows-libpng.sh BUILD_DIR}
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)
prefix=$build_dir/windows-prefix
host=x86_64-w64-mingw32
mingw_root=/usr/$host

if [[ -f $prefix/lib/libpng16.a && -f $prefix/include/png.h ]]; then
  exit 0
fi

object_dir=$(ConfigureForWindows libpng1.6 "$build_dir" "$prefix" \
  CPPFLAGS="-I$mingw_root/include" LDFLAGS="-L$mingw_root/lib")
log=$object_dir.log
cd "$object_dir"
Quietly "$log" make -j2 libpng16.la
Quietly "$log" make install-libLTLIBRARIES install-pkgincludeHEADERS install-nodist_pkgincludeHEADERS
# The headers go to include/libpng16; the plain names (png.h, libpng.a) are
# what find_package(PNG) and the game look for.
cp -f "$prefix"/include/libpng16/*.h "$prefix/include/"
ln -sf libpng16.a "$prefix/lib/libpng.a"
echo "libpng for Windows: $prefix/lib/libpng16.a"
