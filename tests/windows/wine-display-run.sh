#!/usr/bin/env bash
# Runs one Windows program under Wine on a virtual X display of its own,
# 1024x768 unless VELMORA_SCREEN says otherwise, with ALSA's null device as
# the sound card unless VELMORA_NO_SOUND_DEVICE is set. Uses the prefix
# <folder above the program>/wineprefix-display (or WINEPREFIX) with a Wine
# server of its own, so run one such program at a time.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/display.sh"
source "$here/wine-env.sh"

program=${1:?usage: wine-display-run.sh PROGRAM.exe [ARGUMENTS...]}
shift
program_dir=$(cd "$(dirname "$program")" && pwd)
UseWinePrefix "${WINEPREFIX:-$(dirname "$program_dir")/wineprefix-display}"
if [[ -z ${VELMORA_NO_SOUND_DEVICE:-} ]]; then
  export ALSA_CONFIG_PATH=$here/alsa-null.conf
else
  export ALSA_CONFIG_PATH=/dev/null
fi

StartDisplay "${VELMORA_SCREEN:-1024x768}" || exit 1
StartOwnWineServer
wine "$program" "$@" 2>&1 | tr -d '\r'
status=${PIPESTATUS[0]}
EndWineServer
StopDisplay
exit "$status"
