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

# Unpacks the package into <build>/PLATFORM-sources and runs its configure
# script in <build>/PLATFORM-objects/PACKAGE, through a wrapper command when
# one is given. Prints that folder; its log is the folder's name with .log
# after it.
ConfigureFromSource() { # platform, package, build folder, wrapper or "", configure arguments...
  local platform=$1 package=$2 build_dir=$3 wrapper=$4
  shift 4
  local source_dir object_dir=$build_dir/$platform-objects/$package
  source_dir=$(FetchDebianSource "$package" "$build_dir/$platform-sources") || return 1
  rm -rf "$object_dir" "$object_dir.log"
  mkdir -p "$object_dir"
  (cd "$object_dir" && Quietly "$object_dir.log" $wrapper "$source_dir/configure" "$@") >&2 || return 1
  echo "$object_dir"
}

# Configures the package to build static libraries for Windows that install
# into the prefix.
ConfigureForWindows() { # package, build folder, prefix, more configure arguments...
  local package=$1 build_dir=$2 prefix=$3 host=x86_64-w64-mingw32
  shift 3
  ConfigureFromSource windows "$package" "$build_dir" "" --host=$host --disable-shared --enable-static \
    --prefix="$prefix" CC=$host-gcc-posix AR=$host-ar RANLIB=$host-ranlib "$@"
}

# The same for the browser, through emconfigure.
ConfigureForWeb() { # package, build folder, prefix, more configure arguments...
  local package=$1 build_dir=$2 prefix=$3
  shift 3
  ConfigureFromSource web "$package" "$build_dir" emconfigure --prefix="$prefix" "$@"
}
