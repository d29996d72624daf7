#!/usr/bin/env bash
# Runs one Windows program under Wine, quietly, on the build folder's prefix
# (WINEPREFIX, by default <folder above the program>/wineprefix). Carriage
# returns are taken out of the program's standard output so tools reading it
# see plain lines; the program's exit status is kept.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"

program=${1:?usage: wine-run.sh PROGRAM.exe [ARGUMENTS...]}
shift
program_dir=$(cd "$(dirname "$program")" && pwd)
UseWinePrefix "${WINEPREFIX:-$(dirname "$program_dir")/wineprefix}"

wine "$program" "$@" | tr -d '\r'
exit "${PIPESTATUS[0]}"
