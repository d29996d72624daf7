#!/usr/bin/env bash
# Installs what is missing, builds the game and runs every test: the unit,
# pixel, replay and end-to-end tests, the same suite under AddressSanitizer
# and UndefinedBehaviorSanitizer, the fuzzers for a bounded time, the
# Windows build under Wine, the browser build in headless Chromium, and the
# Debian package installed and played, and the play command on a fresh clone
# where only what playing needs can be found. Prints one summary line and
# fails if any test did, or left a process running.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${JOBS:-2}

./scripts/install-deps.sh || { echo "could not install the packages the game needs"; exit 1; }

passed=0
failed=0
broken=()

# Everything the tests start carries this mark, so that whatever outlives
# them is found, listed and ended (scripts/test-leftovers.sh), even when the
# run is interrupted.
export VELMORA_TEST_RUN=$(cat /proc/sys/kernel/random/uuid)
trap './scripts/test-leftovers.sh "$VELMORA_TEST_RUN"; exit 130' INT TERM

# Adds one check's result to the totals.
count() { # name, passed (true or false)
  if $2; then
    passed=$((passed + 1))
  else
    broken+=("$1")
    failed=$((failed + 1))
  fi
}

# Runs one ctest suite and adds its counts to the totals.
run_ctest() { # name, build folder, extra ctest arguments...
  local name=$1 folder=$2
  shift 2
  echo "== $name: ctest"
  local log="$folder/ctest-summary.log"
  (cd "$folder" && ctest --output-on-failure --timeout 600 "$@") 2>&1 | tee "$log"
  local summary
  summary=$(grep -E '[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n1)
  if [[ $summary =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    failed=$((failed + BASH_REMATCH[1]))
    passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
    ((BASH_REMATCH[1] == 0)) || broken+=("$name")
  else
    count "$name (no tests ran)" false
  fi
}

build() { # name, folder, cmake arguments...
  local name=$1 folder=$2
  shift 2
  echo "== $name: build in $folder"
  mkdir -p "$folder"
  if ! cmake -S "$root" -B "$folder" -G Ninja "$@" >"$folder/configure.log" 2>&1; then
    cat "$folder/configure.log"
    count "$name (configure)" false
    return 1
  fi
  if ! cmake --build "$folder" -j "$jobs"; then
    count "$name (build)" false
    return 1
  fi
}

# Debian's library sources for Windows and the browser are fetched and built
# in the background while the native suites build and run.
source scripts/debian-source.sh
EnableDebianSources
mkdir -p build-win build-web
./scripts/build-windows-libs.sh build-win >build-win/libraries.log 2>&1 &
windows_libraries=$!
./scripts/build-web-libs.sh build-web >build-web/libraries.log 2>&1 &
web_libraries=$!

# Waits for a background step; on failure shows the end of its log.
finished() { # pid, log
  wait "$1" && return 0
  tail -n 40 "$2"
  return 1
}

build "game" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TESTS=ON && run_ctest "game" build -j "$jobs"

# One clang build serves the sanitizers and the fuzzers: the whole suite with
# AddressSanitizer, UndefinedBehaviorSanitizer and the leak check, the real
# program included (started, played and quit with Esc, it must leave nothing
# behind), and the libFuzzer targets for a bounded time.
if build "sanitizers and fuzzers" build-asan -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON -DVELMORA_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++; then
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export LSAN_OPTIONS=suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  run_ctest "sanitizers and fuzzers" build-asan -LE "windows|bench" -j "$jobs"
  unset ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS
fi

echo "== windows: cross-build and Wine"
windows_built=false
finished $windows_libraries build-win/libraries.log &&
  VELMORA_HOST_BUILD=$root/build ./scripts/build-windows.sh build-win && windows_built=true
# The browser build runs in the background while Windows is tested under
# Wine, whose tests mostly wait on the screen.
web_build=
if finished $web_libraries build-web/libraries.log; then
  ./scripts/build-web.sh build-web >build-web/build.log 2>&1 &
  web_build=$!
fi
# So does the play command on a fresh clone.
play_log=$(mktemp)
./scripts/test-play-build.sh build-play >"$play_log" 2>&1 &
play_build=$!
if $windows_built; then
  run_ctest "windows" build-win -j "$jobs"
else
  count "windows (build)" false
fi

echo "== web: build and headless Chromium"
if [[ -n $web_build ]] && finished $web_build build-web/build.log; then
  tail -n 1 build-web/build.log
  timeout 600 node --experimental-websocket tests/web/web_test.mjs build-web/site build/bin/velmora-replay \
    tests/game/scripts build-web/test-shots | tee build-web/test.log
  if [[ $(tail -n1 build-web/test.log) =~ ([0-9]+)\ passed,\ ([0-9]+)\ failed ]]; then
    passed=$((passed + BASH_REMATCH[1]))
    failed=$((failed + BASH_REMATCH[2]))
    ((BASH_REMATCH[2] == 0)) || broken+=("web")
  else
    count "web (no tests ran)" false
  fi
else
  count "web (build)" false
fi

echo "== linux package: build, check, install, play and remove"
mkdir -p build-linux
if ./scripts/build-linux.sh build-linux >build-linux/build.log 2>&1; then
  tests/package/installed_package.sh build-linux/velmora_*.deb build-linux/package-test && packaged=true || packaged=false
  count "linux package" $packaged
else
  tail -n 20 build-linux/build.log
  count "linux package (build)" false
fi

echo "== play build: a fresh clone built and started by the play command"
wait $play_build && play_built=true || play_built=false
cat "$play_log"
rm -f "$play_log"
count "play build" $play_built

echo "== processes left running"
./scripts/test-leftovers.sh "$VELMORA_TEST_RUN" && none_left=true || none_left=false
count "processes left running" $none_left

echo
if ((${#broken[@]} > 0)); then
  echo "Failing: ${broken[*]}"
fi
echo "tests: $passed passed, $failed failed"
((failed == 0))
