# Sourced by the Windows test scripts: a virtual X display of our own.
#   StartDisplay WIDTHxHEIGHT   starts Xvfb on a free display, sets DISPLAY
#   StopDisplay                 ends that Xvfb (only the one started here)

xvfb_pid=""

StartDisplay() {
  local size=$1 fifo
  fifo=$(mktemp -u /tmp/velmora-display.XXXXXX)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  local number=""
  read -r -t 10 number <"$fifo" || true
  rm -f "$fifo"
  if [[ -z $number ]]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=:$number
}

StopDisplay() {
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  fi
}
