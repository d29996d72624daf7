# Sourced by the scripts that build libraries for Windows and for the web
# from Debian's source packages.
#   FetchDebianSource PACKAGE FOLDER  unpacks the package into FOLDER (once)
#                                     and prints the unpacked source folder.
#   ConfigureForWindows PACKAGE BUILD PREFIX [ARGUMENTS...]
#                                     configures it for static Windows
#                                     libraries and prints its object folder.
#   ConfigureForWeb PACKAGE BUILD PREFIX [ARGUMENTS...]
#                                     the same through emscripten's wrapper.

sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi

# Source packages need deb-src entries. The binary entries stay: a list with
# only deb-src entries would empty the binary package lists on update.
EnableDebianSources() {
  local sources=/etc/apt/sources.list.d/debian.sources
  if [[ -f $sources ]] && ! grep -q '^Types:.*deb-src' "$sources"; then
    $sudo sed -i 's/^Types: deb$/Types: deb deb-src/' "$sources"
    $sudo apt-get update -qq
  fi
  if ! command -v dpkg-source >/dev/null; then
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq dpkg-dev
  fi
}

FetchDebianSource() {
  local package=$1 folder=$2 unpacked
  mkdir -p "$folder"
  unpacked=$(find "$folder" -maxdepth 1 -type d -name "$package-*" | head -n 1)
  if [[ -z $unpacked ]]; then
    EnableDebianSources >&2
    # The newest version first; a mirror that lacks it (the security archive
    # often lags) may still serve an earlier one that apt knows about.
    local versions version
    versions=$(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -rV | uniq)
    for version in "" $versions; do
      if (cd "$folder" && apt-get source -qq "$package${version:+=$version}" 2>/dev/null >&2); then break; fi
    done
    unpacked=$(find "$folder" -maxdepth 1 -type d -name "$package-*" | head -n 1)
  fi
  [[ -n $unpacked ]] || { echo "source package $package could not be fetched" >&2; return 1; }
  echo "$unpacked"
}

# Runs a noisy build step with its output in a log, shown only on failure.
Quietly() { # log, command...
  local log=$1
  shift
  if ! "$@" >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    return 1
  fi
}

# Unpacks the package and configures it, in <build>/windows-objects/PACKAGE,
# to build static libraries for Windows that install into the prefix. Prints
# that folder; its log is the folder's name with .log after it.
ConfigureForWindows() { # package, build folder, prefix, more configure arguments...
  local package=$1 build_dir=$2 prefix=$3 host=x86_64-w64-mingw32
  shift 3
  local source_dir object_dir
  source_dir=$(FetchDebianSource "$package" "$build_dir/windows-sources") || return 1
  object_dir=$build_dir/windows-objects/$package
  rm -rf "$object_dir" "$object_dir.log"
  mkdir -p "$object_dir"
  (cd "$object_dir" && Quietly "$object_dir.log" "$source_dir/configure" --host=$host --disable-shared \
    --enable-static --prefix="$prefix" CC=$host-gcc-posix AR=$host-ar RANLIB=$host-ranlib "$@") >&2 || return 1
  echo "$object_dir"
}

# As ConfigureForWindows, through emconfigure, in <build>/web-objects/PACKAGE.
ConfigureForWeb() { # package, build folder, prefix, more configure arguments...
  local package=$1 build_dir=$2 prefix=$3
  shift 3
  local source_dir object_dir
  source_dir=$(FetchDebianSource "$package" "$build_dir/web-sources") || return 1
  object_dir=$build_dir/web-objects/$package
  rm -rf "$object_dir" "$object_dir.log"
  mkdir -p "$object_dir"
  (cd "$object_dir" && Quietly "$object_dir.log" emconfigure "$source_dir/configure" --prefix="$prefix" "$@") >&2 ||
    return 1
  echo "$object_dir"
}
