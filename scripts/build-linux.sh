#!/usr/bin/env bash
# Installs what building needs, builds the game alone (no tests) with Debian's
# hardening flags and packs it with CPack into BUILD_DIR/velmora_VERSION_ARCH.deb,
# its dependencies found by dpkg-shlibdeps.
#   build-linux.sh [BUILD_DIR]      default build-linux
# Then: sudo apt install ./build-linux/velmora_*.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$root/build-linux}
jobs=${JOBS:-2}

"$root/scripts/install-deps.sh" package
# CMake reads no CPPFLAGS, so they join the compilers' flags. The program is
# stripped, so it is compiled without debugging information.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CFLAGS_MAINT_STRIP=-g DEB_CXXFLAGS_MAINT_STRIP=-g \
  dpkg-buildflags --export=sh)"
export CFLAGS="$CPPFLAGS $CFLAGS" CXXFLAGS="$CPPFLAGS $CXXFLAGS"
cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=None -DVELMORA_TESTS=OFF \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build_dir" -j "$jobs" --target velmora
rm -f "$build_dir"/velmora_*.deb
(cd "$build_dir" && cpack -G DEB >/dev/null)
echo "Linux package ready: $(ls "$build_dir"/velmora_*.deb)"
