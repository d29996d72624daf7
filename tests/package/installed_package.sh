#!/usr/bin/env bash
# The Debian package as a player gets it. lintian finds nothing wrong in it, its
# menu entry and AppStream file are valid (lintian sees to the icons' sizes).
# Installed by dpkg in a private mount namespace, over scratch layers that
# keep the machine's /usr, /var and /etc untouched, the game started as
# /usr/games/velmora plays and quits on Esc; purged, it leaves nothing behind.
#   installed_package.sh PACKAGE WORK_FOLDER     (as root, or through sudo)
set -euo pipefail
[[ $(id -u) == 0 ]] || exec sudo "$0" "$@"
package=$(realpath "$1")
work=$(realpath -m "$2")
e2e=$(dirname "$(realpath "$0")")/../e2e/velmora_e2e.py
fail() { echo "FAILED linux package: $*" >&2; exit 1; }

if [[ ${3:-} == --inside ]]; then
  for folder in /usr /var /etc; do
    mkdir -p "$work/upper$folder" "$work/work$folder"
    mount -t overlay overlay -o "lowerdir=$folder,upperdir=$work/upper$folder,workdir=$work/work$folder" "$folder"
  done
  dpkg -i "$package" >"$work/dpkg.log" 2>&1 || fail "dpkg -i failed; see $work/dpkg.log"
  python3 "$e2e" /usr/games/velmora "$work/shots" playing || fail "the installed game did not play"
  dpkg --purge velmora >>"$work/dpkg.log" 2>&1 || fail "dpkg --purge failed; see $work/dpkg.log"
  exit
fi

rm -rf "$work"
mkdir -p "$work/unpacked"
lintian --fail-on error,warning "$package" || fail "lintian found errors or warnings"
dpkg -x "$package" "$work/unpacked"
desktop-file-validate "$work/unpacked/usr/share/applications/velmora.desktop" || fail "invalid menu entry"
# Its id is not a reversed domain name: the game has none of its own.
said=$(appstreamcli validate-tree --no-net --override=cid-desktopapp-is-not-rdns=info "$work/unpacked") ||
  fail "invalid AppStream file: $said"

unshare --mount --propagation private "$0" "$package" "$work" --inside
# What the purge left: paths the machine itself lacks, and changed files that
# still name the game (dpkg's log and its backup of the old status aside).
cd "$work/upper"
left=$({
  find . ! -type d -o -empty | while read -r path; do [[ -e /$path || -L /$path ]] || echo "$path"; done
  grep -rlI velmora . --exclude=dpkg.log --exclude=status-old || true
} | sed 's/^\.//')
[[ -z $left ]] || fail "removed, it left: $left"
echo "linux package: passed"
