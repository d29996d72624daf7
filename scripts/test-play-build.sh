#!/usr/bin/env bash
# The play command as a new player meets it: a fresh clone of the committed
# tree, built and started by ./scripts/play.sh on a view of this machine
# where only what playing installs can be found (every other package's
# programs, libraries and headers hidden in a private mount namespace), with
# no display, where the game must say "Error creating window" and exit with 0.
#   test-play-build.sh [FOLDER]   the clone and the logs go to FOLDER (build-play)
# Hiding needs root and unshare; without them the play build is checked with
# everything installed, and the output says so.
set -uo pipefail
self=$(realpath "$0")
cd "$(dirname "$self")/.."
no_display=(env -u DISPLAY -u WAYLAND_DISPLAY)
# Bounds only a build that hangs, or a game that runs on unseen.
ceiling=1800

# Inside the namespace: /usr seen through an overlay whose upper layer deletes
# the hidden files, an empty /usr/local and Debian's own search path. What
# this says goes to descriptor 3, the check's own output.
if [[ ${1:-} == --hidden ]]; then
  folder=$2
  if mkdir -p "$folder/layer" && mount -t tmpfs hidden "$folder/layer" &&
    mkdir "$folder/layer/upper" "$folder/layer/work" &&
    mount -t overlay hidden -o "lowerdir=/usr,upperdir=$folder/layer/upper,workdir=$folder/layer/work" /usr &&
    mount -t tmpfs empty /usr/local; then
    xargs -d '\n' rm -f <"$folder/hidden.txt" 2>/dev/null
  else
    echo "play build: cannot hide them (the overlay did not mount); building with everything installed" >&3
  fi
  cd "$folder/velmora" && exec "${no_display[@]}" PATH=/usr/local/bin:/usr/bin:/bin ./scripts/play.sh
fi

folder=$(realpath -m "${1:-build-play}")
rm -rf "$folder"
mkdir -p "$folder"
git clone -q . "$folder/velmora" || { echo "play build: FAILED, could not clone $PWD"; exit 1; }
started=$SECONDS
if [[ $(id -u) -eq 0 ]] && unshare -m --propagation private true 2>/dev/null; then
  # Kept: the play packages, what they depend on or recommend, and Debian's base.
  kept=$(apt-cache depends --recurse --no-suggests --no-conflicts --no-breaks --no-replaces --no-enhances \
    $(./scripts/install-deps.sh play --list) | sed -n 's/^\([^ <:]*\).*/\1/p')
  hidden=$(dpkg-query -W -f='${db:Status-Abbrev} ${Package} ${binary:Package} ${Essential} ${Priority}\n' |
    awk -v kept="$kept" 'BEGIN { for (n = split(kept, k, "\n"); n; --n) keep[k[n]] = 1 }
      $1 == "ii" && !keep[$2] && $4 != "yes" && $5 != "required" && $5 != "important" { print $3 }')
  dpkg-query -L $hidden 2>/dev/null | grep -E '^/(usr/)?(include|lib[^/]*|s?bin|share/(cmake[^/]*|pkgconfig))/' \
    >"$folder/hidden.txt"
  echo "play build: a fresh clone on this machine, hiding the $(wc -w <<<"$hidden") packages playing does not need"
  started=$SECONDS
  timeout "$ceiling" unshare -m --propagation private "$self" --hidden "$folder" 3>&1 >"$folder/play.log" \
    2>"$folder/stderr.log"
else
  echo "play build: cannot hide the packages playing does not need (that takes root and unshare);" \
    "building a fresh clone with everything installed"
  (cd "$folder/velmora" && timeout "$ceiling" "${no_display[@]}" ./scripts/play.sh) >"$folder/play.log" 2>"$folder/stderr.log"
fi
status=$?
if [[ $status -eq 0 ]] && grep -q "Error creating window" "$folder/stderr.log"; then
  echo "play build: passed; configured, built and started in $((SECONDS - started)) s, without a display the game" \
    "said: $(grep -m1 'Error creating window' "$folder/stderr.log")"
  exit 0
fi
echo "play build: FAILED with status $status; the end of its output ($folder/play.log, stderr.log):"
tail -n 15 "$folder/play.log" "$folder/stderr.log"
exit 1
