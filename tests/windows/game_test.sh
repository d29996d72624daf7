#!/usr/bin/env bash
# What only the Windows game does, under Wine on a virtual display of its
# own (the scenarios both programs share are in tests/e2e/velmora_e2e.py):
#   game_test.sh CASE PROGRAM_FOLDER SHOT_FOLDER
# PROGRAM_FOLDER holds velmora.exe with its Data and "StringData.txt", the
# test builds velmora-failing-gl-N.exe and console-reader.exe. One case:
#   missing_string_data     the console shows the error lines
#   failing_gl_2|3|4        the error box of a failed OpenGL set-up; exit code 1
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/display.sh"
source "$here/wine-env.sh"

case_name=${1:?usage: game_test.sh CASE PROGRAM_FOLDER SHOT_FOLDER}
bin=$(cd "${2:?program folder}" && pwd)
shots=${3:?shot folder}
mkdir -p "$shots"
shots=$(cd "$shots" && pwd)
scratch=$(mktemp -d /tmp/velmora-wine-test.XXXXXX)
log=$scratch/game.log

UseWinePrefix "${WINEPREFIX:-$(dirname "$bin")/wineprefix-display}"
export ALSA_CONFIG_PATH=$here/alsa-null.conf

failures=0
Fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

game_pid=""
game_status=""
Cleanup() {
  if [[ -n $game_pid ]] && kill -0 "$game_pid" 2>/dev/null; then
    kill "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
  fi
  EndWineServer
  StopDisplay
  rm -rf "$scratch"
}
trap Cleanup EXIT

# StartGame FOLDER PROGRAM [ARGUMENTS...]: runs it from FOLDER in the background.
StartGame() {
  local folder=$1 program=$2
  shift 2
  (cd "$folder" && exec wine "$program" "$@") >"$log" 2>&1 &
  game_pid=$!
}

# Waits for the program to end; sets game_status. False on a timeout.
WaitForExit() { # seconds
  local tenths=$(($1 * 10))
  while kill -0 "$game_pid" 2>/dev/null && ((tenths-- > 0)); do sleep 0.1; done
  if kill -0 "$game_pid" 2>/dev/null; then
    Fail "the program did not end within $1 s"
    return 1
  fi
  wait "$game_pid"
  game_status=$?
  game_pid=""
}

# Prints the id of the visible window with exactly this title, waiting for it.
WaitForWindow() { # title, seconds
  local tenths=$(($2 * 10)) id
  while ((tenths-- > 0)); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    if [[ -n $id ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

Focus() {
  xdotool windowfocus "$1" 2>/dev/null
  sleep 0.3
}

ExpectExit() { # code, seconds
  WaitForExit "$2" || return
  ((game_status == $1)) || Fail "exit code $game_status, wanted $1"
}

GameWindowOrStop() {
  window=$(WaitForWindow Game 30) || {
    Fail "no game window; log: $(tail -n 5 "$log")"
    exit 1
  }
  sleep 1.5
}

case $case_name in
missing_string_data)
  cp "$bin/velmora.exe" "$scratch/"
  cp -r "$bin/Data" "$scratch/"
  StartDisplay 1024x768 || exit 1
  StartOwnWineServer
  StartGame "$scratch" velmora.exe
  GameWindowOrStop
  console=$(wine "$bin/console-reader.exe" velmora.exe 2>&1 | tr -d '\r')
  printf 'The console shows:\n%s\n' "$console"
  first=$(head -n 1 <<<"$console")
  [[ $first == "Error loading string data StringData.txt" ]] || Fail "first console line is \"$first\""
  grep -qx "Error initialising renderer" <<<"$console" || Fail "no line \"Error initialising renderer\""
  Focus "$window"
  xdotool key Escape
  ExpectExit 0 15
  ;;
failing_gl_[234])
  step=${case_name#failing_gl_}
  case $step in
  2) wanted="Error choosing pixel format" ;;
  3) wanted="Error creating OpenGL context" ;;
  4) wanted="Error attaching OpenGL context" ;;
  esac
  cp "$bin/velmora-failing-gl-$step.exe" "$scratch/"
  StartDisplay 1024x768 || exit 1
  StartOwnWineServer
  StartGame "$scratch" "velmora-failing-gl-$step.exe"
  box=$(WaitForWindow Game 30) || {
    Fail "no error box; log: $(tail -n 5 "$log")"
    exit 1
  }
  sleep 1
  import -window root "$shots/$case_name-error-box.png"
  recorded=$(cat "$scratch/error-boxes.txt" 2>/dev/null)
  [[ $recorded == "$wanted" ]] || Fail "the error box says \"$recorded\", wanted \"$wanted\""
  Focus "$box"
  xdotool key Return
  ExpectExit 1 15
  recorded=$(cat "$scratch/error-boxes.txt" 2>/dev/null)
  [[ $recorded == "$wanted" ]] || Fail "more boxes followed: \"$recorded\""
  ;;
*)
  echo "unknown case $case_name" >&2
  exit 2
  ;;
esac

if ((failures > 0)); then
  echo "$case_name: $failures failed checks; screenshots in $shots"
  exit 1
fi
echo "$case_name: passed"
