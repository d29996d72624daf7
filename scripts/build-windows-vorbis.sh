#!/usr/bin/env bash
# Builds libogg and libvorbis (with vorbisenc) for Windows, static, from
# Debian's source packages, so the sound tests can encode their Ogg files in
# the Windows build too. The game itself decodes with stb_vorbis and does not
# link these. Lands in <build>/windows-prefix, with pkg-config files; does
# nothing when already built.
set -euo pipefail
source "$(dirname "$0")/debian-source.sh"

build_dir=${1:?usage: build-windows-vorbis.sh BUILD_DIR}
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)
prefix=$build_dir/windows-prefix
host=x86_64-w64-mingw32

BuildAutotoolsPackage() { # package, library file that shows it is built
  local package=$1 built=$2
  [[ -f $prefix/lib/$built ]] && return 0
  local source_dir object_dir log
  source_dir=$(FetchDebianSource "$package" "$build_dir/windows-sources")
  object_dir=$build_dir/windows-objects/$package
  log=$object_dir.log
  rm -rf "$object_dir" "$log"
  mkdir -p "$object_dir"
  (
    cd "$object_dir"
    Quietly "$log" "$source_dir/configure" --host=$host --disable-shared --enable-static --prefix="$prefix" \
      --disable-docs --disable-examples \
      CC=$host-gcc-posix AR=$host-ar RANLIB=$host-ranlib \
      PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib"
    Quietly "$log" make -j2 -C lib
    Quietly "$log" make -C lib install
    Quietly "$log" make -C include install
    Quietly "$log" make install-pkgconfigDATA
  )
  echo "$package for Windows: $prefix/lib/$built"
}

# libogg keeps its code in src/, libvorbis in lib/.
BuildOgg() {
  [[ -f $prefix/lib/libogg.a ]] && return 0
  local source_dir object_dir log
  source_dir=$(FetchDebianSource libogg "$build_dir/windows-sources")
  object_dir=$build_dir/windows-objects/libogg
  log=$object_dir.log
  rm -rf "$object_dir" "$log"
  mkdir -p "$object_dir"
  (
    cd "$object_dir"
    Quietly "$log" "$source_dir/configure" --host=$host --disable-shared --enable-static --prefix="$prefix" \
      CC=$host-gcc-posix AR=$host-ar RANLIB=$host-ranlib
    Quietly "$log" make -j2 -C src
    Quietly "$log" make -C src install
    Quietly "$log" make -C include install
    Quietly "$log" make install-pkgconfigDATA
  )
  echo "libogg for Windows: $prefix/lib/libogg.a"
}

BuildOgg
BuildAutotoolsPackage libvorbis libvorbisenc.a
