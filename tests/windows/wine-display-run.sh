#!/usr/bin/env bash
# Runs one Windows program under Wine on a virtual X display of its own (VELMORA_SCREEN, default 1024x768),
# ALSA's null device for its sound card unless VELMORA_NO_SOUND_DEVICE is set, and a Wine server of its own
# on <folder above the program>/wineprefix-display (or WINEPREFIX): run one such program at a time.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"

program=${1:?usage: wine-display-run.sh PROGRAM.exe [ARGUMENTS...]}
shift
program_dir=$(cd "$(dirname "$program")" && pwd)
UseWinePrefix "${WINEPREFIX:-$(dirname "$program_dir")/wineprefix-display}"
export ALSA_CONFIG_PATH=$here/alsa-null.conf
[[ -z ${VELMORA_NO_SOUND_DEVICE:-} ]] || export ALSA_CONFIG_PATH=/dev/null

# Xvfb takes a free display and writes its number to us. It is the coproc
# itself, so that its id is the server's; it and the Wine server end with us.
coproc XVFB { exec Xvfb -displayfd 1 -screen 0 "${VELMORA_SCREEN:-1024x768}x24" -nolisten tcp 2>/dev/null; }
trap 'kill "$XVFB_PID" 2>/dev/null; wineserver -k 2>/dev/null' EXIT
trap 'exit 143' TERM INT
read -r -t 120 number <&"${XVFB[0]}"
[[ -n ${number:-} ]] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$number
# A server of its own: Wine keeps the screen size of the first display it met.
wineserver -w
wineserver -p0
wine "$program" "$@" 2>&1 | tr -d '\r'
status=${PIPESTATUS[0]}
wineserver -w
exit "$status"
