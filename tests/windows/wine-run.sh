#!/usr/bin/env bash
# Runs one Windows program under Wine, quietly, on <folder above the program>/wineprefix (or WINEPREFIX),
# carriage returns taken out of its standard output, its exit status kept.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"

program=${1:?usage: wine-run.sh PROGRAM.exe [ARGUMENTS...]}
shift
program_dir=$(cd "$(dirname "$program")" && pwd)
UseWinePrefix "${WINEPREFIX:-$(dirname "$program_dir")/wineprefix}"

wine "$program" "$@" | tr -d '\r'
exit "${PIPESTATUS[0]}"
