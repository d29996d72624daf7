#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it in a window.
# Options after the script's name go to the game: -f full screen, -w window.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "${JOBS:-2}"
exec build/bin/velmora "$@"
