#!/usr/bin/env bash
# Installs what is missing, builds the game (RelWithDebInfo, in the folder
# VELMORA_BUILD names, build by default) and runs every benchmark: ticks a
# second of the rules, the frame clock against real time, processor time of
# a drawn frame on Mesa's software renderer, a presented frame of the title,
# play and the heart rain beside the floor program's (one picture scaled to
# the window), the real program's start-up, memory and processor share under
# Xvfb, and the browser program's download, start and processor time a frame
# beside the floor page's in headless Chromium. Prints one Markdown table and
# the machine it was measured on; details go to bench.log in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${VELMORA_BUILD:-build}

./scripts/install-deps.sh
cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$folder" -j "${JOBS:-2}"

bin=$folder/bin
log=$folder/bench.log
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
: >"$log"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
failed=()

# Runs one benchmark: its table rows are kept, its details go to the log.
run() { # name, command...
  local name=$1
  shift
  echo "== $name" >&2
  echo "== $name: $*" >>"$log"
  if ! "$@" >>"$rows" 2>>"$log"; then
    failed+=("$name")
    echo "| $name | FAILED | | see $log |" >>"$rows"
  fi
}

run "ticks" "$bin/velmora-bench-ticks"
run "frame clock" "$bin/velmora-bench-frame-clock" 10
run "drawing" "$bin/velmora-bench-draw" 160x120 640x480 1920x1080
run "frames against the floor" python3 bench/draw/frame_ratio.py "$bin/velmora-bench-floor" "$bin/velmora-bench-window"
run "real program" python3 bench/shell_load/shell_load.py "$bin/velmora" \
  --swap-record "$folder/bench/shell_load/libvelmora_swap_record.so" --draw-bench "$bin/velmora-bench-draw"
# The browser program in headless Chromium, its frames beside the floor page's.
if ./scripts/build-web.sh >>"$log" 2>&1; then
  run "browser program" node --experimental-websocket bench/web/web_bench.mjs build-web/site
else
  failed+=("browser program (build)")
fi

# What the real program's GL is, asked as it asks; the offscreen one otherwise.
mesa=$(timeout 30 xvfb-run -a -s "-screen 0 640x480x24" env LIBGL_ALWAYS_SOFTWARE=1 glxinfo -B 2>/dev/null |
  sed -n 's/^OpenGL renderer string: //p; s/^OpenGL version string: /OpenGL /p' | paste -sd ';' | sed 's/;/, /g' || true)
if [[ -z $mesa ]]; then
  mesa=$(sed -n 's/^drawn at [0-9x]* by //p' "$log" | head -n1)
fi
cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$folder/CMakeCache.txt")
memory=$(awk '/^MemTotal:/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo)
. /etc/os-release

echo
echo "| Figure | Measured | Limit it should approach | Note |"
echo "|---|---|---|---|"
cat "$rows"
echo
echo "Measured on:"
echo "- CPU: $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n1), $(nproc) cores"
echo "- memory: $memory"
echo "- OS: ${PRETTY_NAME:-unknown}, $(uname -sr)"
echo "- GL: ${mesa:-unknown}, under Xvfb and offscreen through OSMesa"
echo "- compiler: $("$cxx" --version | head -n1), RelWithDebInfo"
echo "- browser: $(chromium --version 2>/dev/null | head -n1), headless, WebGL on SwiftShader; emscripten $(sed -n 's/^Version: //p' <(dpkg -s emscripten 2>/dev/null))"
echo "- load average before the run: $load_before (the machine may be shared)"

if ((${#failed[@]} > 0)); then
  echo
  echo "Failing: ${failed[*]} (see $log)"
  exit 1
fi
