# Sourced by the scripts that build libraries for Windows from Debian's
# source packages.
#   FetchDebianSource PACKAGE FOLDER  unpacks the package into FOLDER (once)
#                                     and prints the unpacked source folder.

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
