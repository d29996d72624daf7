#!/usr/bin/env bash
# The Windows game itself under Wine: started on a virtual display of its
# own, played with real key presses (xdotool) and checked on screenshots
# (ImageMagick), which stay in the shot folder for a person to look at.
#   game_test.sh CASE PROGRAM_FOLDER SHOT_FOLDER
# PROGRAM_FOLDER holds velmora.exe with its Data and "StringData.txt", the
# test builds velmora-failing-gl-N.exe and console-reader.exe. One case:
#   title_play_quit         title screen, space starts, arrows walk, Esc quits with 0
#   first_window_large      the first window on a 1920x1080 screen: 1120 by 840
#   full_screen_option      -f covers the screen, the picture scaled 6 times, centred
#   window_option_wins      -f -w and -fw stay windowed
#   alt_enter               Alt+Enter to full screen and back to the same place
#   alt_f4                  Alt+F4 still closes the window, with 0
#   program_folder          started from another folder, the game finds its files
#   missing_string_data     the console shows the error lines; nothing is drawn
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

# Sets X, Y, WIDTH and HEIGHT of a window.
ReadGeometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }

# The game polls its keys once a tick, so a press must last a few ticks.
Press() { # key
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
}

Focus() {
  xdotool windowfocus "$1" 2>/dev/null
  sleep 0.3
}

# Shot NAME: the whole screen into SHOT_FOLDER/CASE-NAME.png; prints the path.
Shot() {
  local file=$shots/$case_name-$1.png
  import -window root "$file"
  echo "$file"
}

# Pixels of a region (WxH+X+Y) within a fuzz of a colour; not for black.
CountColour() { # shot, region, colour, fuzz
  convert "$1" -crop "$2" +repage -alpha off -fuzz "$4" -fill black +opaque "$3" -fill white -opaque "$3" \
    -colorspace gray -format '%[fx:round(mean*w*h)]' info:
}

# The brightest grey level, 0..255, of a region.
Brightest() { # shot, region
  convert "$1" -crop "$2" +repage -alpha off -colorspace gray -format '%[fx:round(255*maxima)]' info:
}

# The box around everything not black in a region: "WIDTH HEIGHT LEFT TOP"
# in screen pixels, or nothing when the region is all black.
DrawnBox() { # shot, region
  convert "$1" -crop "$2" -alpha off -fuzz 1% -trim -format '%w %h %X %Y' info: 2>/dev/null
}

# Mean colour of a region as "R G B", 0..255.
MeanColour() { # shot, region
  convert "$1" -crop "$2" +repage -alpha off -scale '1x1!' \
    -format '%[fx:round(255*r)] %[fx:round(255*g)] %[fx:round(255*b)]' info:
}

# The virtual screen inside a client area, as the renderer fits it: the
# largest whole scale, centred. Sets SCALE, PICTURE_X, PICTURE_Y.
FitPicture() { # client x, y, width, height
  local byWidth=$(($3 / 160)) byHeight=$(($4 / 120))
  SCALE=$((byWidth < byHeight ? byWidth : byHeight))
  PICTURE_X=$(($1 + ($3 - 160 * SCALE) / 2))
  PICTURE_Y=$(($2 + ($4 - 120 * SCALE) / 2))
}

# A region given in virtual pixels (left, top measured from the top, width,
# height) as screen geometry, for the last FitPicture.
Virtual() { echo "$(($3 * SCALE))x$(($4 * SCALE))+$((PICTURE_X + $1 * SCALE))+$((PICTURE_Y + $2 * SCALE))"; }

# The title screen: white title text at the top left over the dark purple
# night of its background, which fills the whole virtual screen.
ExpectTitleScreen() { # shot
  local white mean
  white=$(CountColour "$1" "$(Virtual 2 4 60 16)" white 8%)
  ((white > 20 * SCALE * SCALE)) || Fail "no title text at the top left of the title screen ($white white pixels)"
  read -r -a mean <<<"$(MeanColour "$1" "$(Virtual 0 0 160 120)")"
  ((mean[2] > mean[1] && mean[2] > 12)) || Fail "the title screen's background is not its night sky (mean ${mean[*]})"
  local box
  read -r -a box <<<"$(DrawnBox "$1" "$(Virtual 0 0 160 120)")"
  ((${#box[@]} == 4 && box[0] >= 150 * SCALE && box[1] >= 110 * SCALE)) ||
    Fail "the title picture does not fill the virtual screen (drawn ${box[*]:-nothing})"
}

# The courtship: both meters drawn (a red and a green bar), no title text.
ExpectCourtship() { # shot
  local white red green
  white=$(CountColour "$1" "$(Virtual 2 4 60 16)" white 8%)
  ((white == 0)) || Fail "the title text is still there after space ($white white pixels)"
  red=$(CountColour "$1" "$(Virtual 0 0 160 60)" red 10%)
  green=$(CountColour "$1" "$(Virtual 0 0 160 60)" lime 15%)
  ((red > 4 * SCALE * SCALE)) || Fail "no Fear bar ($red red pixels)"
  ((green > 4 * SCALE * SCALE)) || Fail "no Excitement bar ($green green pixels)"
}

# The left edge of what is drawn in the spiders' band, in virtual pixels.
SpiderBandLeft() { # shot
  local box
  read -r -a box <<<"$(DrawnBox "$1" "$(Virtual 0 70 160 50)")"
  ((${#box[@]} == 4)) || { echo -1; return; }
  echo $(((box[2] - PICTURE_X) / SCALE))
}

ExpectExit() { # code, seconds
  WaitForExit "$2" || return
  ((game_status == $1)) || Fail "exit code $game_status, wanted $1"
}

ExpectNoConsole() {
  if xdotool search --name 'velmora\.exe' >/dev/null 2>&1; then
    Fail "a console opened although no data file is missing"
  fi
}

StartOn() { # screen size, program arguments...
  StartDisplay "$1" || exit 1
  StartOwnWineServer
  shift
  StartGame "$bin" velmora.exe "$@"
}

GameWindowOrStop() {
  window=$(WaitForWindow Game 30) || {
    Fail "no game window; log: $(tail -n 5 "$log")"
    exit 1
  }
  sleep 1.5
}

case $case_name in
title_play_quit)
  StartOn 1024x768
  GameWindowOrStop
  ReadGeometry "$window"
  ((WIDTH == 800 && HEIGHT == 600)) || Fail "first window's client is ${WIDTH}x$HEIGHT, wanted 800x600"
  FitPicture "$X" "$Y" "$WIDTH" "$HEIGHT"
  ExpectTitleScreen "$(Shot title)"
  ExpectNoConsole
  Focus "$window"
  Press space
  sleep 1
  shot=$(Shot courtship)
  ExpectCourtship "$shot"
  before=$(SpiderBandLeft "$shot")
  xdotool keydown Right
  sleep 0.4
  xdotool keyup Right
  sleep 0.3
  after=$(SpiderBandLeft "$(Shot walked)")
  ((before >= 0 && after >= before + 10)) || Fail "holding Right did not walk him right (left edge $before, then $after)"
  xdotool key Escape
  ExpectExit 0 15
  ;;
first_window_large)
  StartOn 1920x1080
  GameWindowOrStop
  ReadGeometry "$window"
  ((WIDTH == 1120 && HEIGHT == 840)) || Fail "first window's client is ${WIDTH}x$HEIGHT, wanted 1120x840"
  FitPicture "$X" "$Y" "$WIDTH" "$HEIGHT"
  ExpectTitleScreen "$(Shot title)"
  Focus "$window"
  xdotool key Escape
  ExpectExit 0 15
  ;;
full_screen_option)
  StartOn 1024x768 -f
  GameWindowOrStop
  ReadGeometry "$window"
  ((X == 0 && Y == 0 && WIDTH == 1024 && HEIGHT == 768)) ||
    Fail "-f gives a window of ${WIDTH}x$HEIGHT at $X,$Y, wanted the whole 1024x768 screen"
  FitPicture 0 0 1024 768
  ((SCALE == 6 && PICTURE_X == 32 && PICTURE_Y == 24)) || Fail "unexpected fit $SCALE at $PICTURE_X,$PICTURE_Y"
  shot=$(Shot title)
  ExpectTitleScreen "$shot"
  for margin in 32x768+0+0 32x768+992+0 1024x24+0+0 1024x24+0+744; do
    level=$(Brightest "$shot" "$margin")
    ((level <= 2)) || Fail "the margin $margin is not black (brightest $level)"
  done
  Focus "$window"
  xdotool key Escape
  ExpectExit 0 15
  ;;
window_option_wins)
  for options in "-f -w" "-fw"; do
    StartOn 1024x768 $options
    GameWindowOrStop
    ReadGeometry "$window"
    ((WIDTH == 800 && HEIGHT == 600)) || Fail "$options gives ${WIDTH}x$HEIGHT, wanted the 800x600 window"
    Focus "$window"
    xdotool key Escape
    ExpectExit 0 15
    EndWineServer
    StopDisplay
  done
  ;;
alt_enter)
  StartOn 1024x768
  GameWindowOrStop
  ReadGeometry "$window"
  framed="$X $Y $WIDTH $HEIGHT"
  Focus "$window"
  xdotool key alt+Return
  sleep 1.5
  ReadGeometry "$window"
  ((X == 0 && Y == 0 && WIDTH == 1024 && HEIGHT == 768)) ||
    Fail "Alt+Enter gives ${WIDTH}x$HEIGHT at $X,$Y, wanted the whole screen"
  FitPicture 0 0 1024 768
  ExpectTitleScreen "$(Shot full-screen)"
  Focus "$window"
  xdotool key alt+Return
  sleep 1.5
  ReadGeometry "$window"
  [[ "$X $Y $WIDTH $HEIGHT" == "$framed" ]] ||
    Fail "the second Alt+Enter leaves ${WIDTH}x$HEIGHT at $X,$Y, wanted the window as it was ($framed)"
  FitPicture "$X" "$Y" "$WIDTH" "$HEIGHT"
  ExpectTitleScreen "$(Shot windowed-again)"
  Focus "$window"
  xdotool key Escape
  ExpectExit 0 15
  ;;
alt_f4)
  StartOn 1024x768
  GameWindowOrStop
  Focus "$window"
  xdotool key alt+F4
  ExpectExit 0 15
  ;;
program_folder)
  StartDisplay 1024x768 || exit 1
  StartOwnWineServer
  StartGame / "$bin/velmora.exe"
  GameWindowOrStop
  ReadGeometry "$window"
  FitPicture "$X" "$Y" "$WIDTH" "$HEIGHT"
  ExpectTitleScreen "$(Shot title)"
  ExpectNoConsole
  Focus "$window"
  xdotool key Escape
  ExpectExit 0 15
  ;;
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
  # The window has no background of its own: undrawn, it shows what lies
  # beneath (the console), but never the title screen or the meters.
  ReadGeometry "$window"
  FitPicture "$X" "$Y" "$WIDTH" "$HEIGHT"
  shot=$(Shot nothing-drawn)
  read -r -a mean <<<"$(MeanColour "$shot" "$(Virtual 0 0 160 120)")"
  ((mean[2] <= mean[1] + 2)) || Fail "the title screen was drawn although start-up failed (mean ${mean[*]})"
  red=$(CountColour "$shot" "$(Virtual 0 0 160 60)" red 10%)
  ((red == 0)) || Fail "a meter was drawn although start-up failed"
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
  Shot error-box >/dev/null
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
