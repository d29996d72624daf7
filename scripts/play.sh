#!/usr/bin/env bash
# Installs what playing needs, builds the game alone (with its pictures,
# font and sounds) and starts it in a window. The tests are neither
# installed nor built: ./scripts/test.sh does that.
# Options after the script's name go to the game: -f full screen, -w window.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh play
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_TESTS=OFF >/dev/null
cmake --build build -j "${JOBS:-2}" --target velmora
exec build/bin/velmora "$@"
