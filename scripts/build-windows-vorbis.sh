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

# Builds one library whose code lies in the given folder of its source tree
# (libogg keeps it in src/, libvorbis in lib/) and installs it with its
# headers and pkg-config file.
BuildLibrary() { # package, library file that shows it is built, code folder, configure arguments...
  local package=$1 built=$2 code=$3
  shift 3
  [[ -f $prefix/lib/$built ]] && return 0
  local object_dir log
  object_dir=$(ConfigureForWindows "$package" "$build_dir" "$prefix" "$@")
  log=$object_dir.log
  Quietly "$log" make -j2 -C "$object_dir/$code"
  Quietly "$log" make -C "$object_dir/$code" install
  Quietly "$log" make -C "$object_dir/include" install
  Quietly "$log" make -C "$object_dir" install-pkgconfigDATA
  echo "$package for Windows: $prefix/lib/$built"
}

BuildLibrary libogg libogg.a src
BuildLibrary libvorbis libvorbisenc.a lib --disable-docs --disable-examples \
  PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib"
