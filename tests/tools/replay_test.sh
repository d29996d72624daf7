#!/usr/bin/env bash
# Runs velmora-replay on the key scripts beside this file and checks its
# output: the exact line format, each outcome's sound, refusals and pictures.
set -u
replay=$1
scripts=$2
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expect_line() { # file, tick, expected fields (grep -E pattern, anchored to the tick)
  local line
  line=$(grep -m1 "^tick=$2 " "$1")
  [[ $line =~ $3 ]] || fail "$(basename "$1") tick $2: wanted /$3/, got: $line"
}

# The format, field by field, for the first tick of a game.
first=$(printf '1 S\n' | "$replay")
want='tick=1 playing=1 fear=1000 excitement=1000 maleX=16 maleLeg=0 maleDead=0 femaleX=144 femaleLeg=0 chasedAway=0 killed=0 mating=0 outcomeTicks=0 messageTicks=0 alpha=0.0000 sounds=beep'
[[ $first == "$want" ]] || fail "first line: $first"

# Each outcome's sound is named once, on its tick, one line per tick, and
# the game ends back at the title; the love loop is stopped by the last press.
for outcome in chased:runaway:431 killed:death:1567 mating:love:1110; do
  IFS=: read -r script sound ticks <<<"$outcome"
  "$replay" "$scripts/$script.txt" >"$work/$script" || fail "$script.txt exit code"
  [[ $(wc -l <"$work/$script") -eq $ticks && $(grep -c "sounds=$sound$" "$work/$script") -eq 1 ]] ||
    fail "$script.txt: tick count or $sound sound"
  tail -n1 "$work/$script" | grep -q '^tick=[0-9]* playing=0 ' || fail "$script.txt: no return to the title"
done
tail -n1 "$work/mating" | grep -q 'sounds=stoplove$' || fail "mating.txt: the love loop played on"

# Comments, blank lines, Windows line ends and several letters per line.
printf '# a comment\n\n2 -\r\n1 LRS\n   \n1 SR\n' | "$replay" >"$work/mixed" || fail "mixed script refused"
[[ $(wc -l <"$work/mixed") -eq 4 ]] || fail "mixed script: tick count"
expect_line "$work/mixed" 3 'playing=1 .* maleX=16 .*sounds=beep$'

# Malformed scripts: a message naming the line on stderr, status 2, no ticks.
check_refused() { # script text, line number
  local out err status
  out=$(printf -- "$1" | "$replay" 2>"$work/err")
  status=$?
  err=$(cat "$work/err")
  [[ $status -eq 2 ]] || fail "script '$1': status $status"
  [[ -z $out ]] || fail "script '$1': ran ticks before refusing"
  [[ $err == "line $2: "* ]] || fail "script '$1': message '$err'"
}
for refused in '0 R\n:1' '1 R\n1000001 -\n:2' '1 R\n\n# fine\n5 X\n:4' '5 R extra\n:1' '5 R S\n:1' 'R 5\n:1' \
  '5\n:1' '5 -R\n:1' '-5 R\n:1' '99999999999999999999 R\n:1'; do
  check_refused "${refused%:*}" "${refused##*:}"
done
# A script that cannot be read, or a line longer than any script line, is
# refused with status 2 before it is read whole.
for script in /no/such/script "$work" /dev/zero; do
  timeout 10 "$replay" "$script" >/dev/null 2>"$work/err"
  [[ $? -eq 2 && -s $work/err ]] || fail "script $script: status or message"
done
grep -q '^line 1: ' "$work/err" || fail "endless line: $(cat "$work/err")"

# Bad options are refused before anything runs; a picture the script never
# reaches is an error.
for options in "--shot 5" "--shot x:a.png" "--shot -1:a.png" "--shot 3:" "--scale 0" "--scale 17" "--bogus"; do
  printf '1 -\n' | "$replay" $options >/dev/null 2>&1
  [[ $? -eq 2 ]] || fail "options '$options' were not refused"
done
printf '2 -\n' | "$replay" --scale 1 --shot "9:$work/late.png" >/dev/null 2>"$work/err"
[[ $? -eq 1 && ! -e $work/late.png ]] || fail "a shot past the script's end"
grep -q 'ends at tick 2' "$work/err" || fail "no word about the missing shot: $(cat "$work/err")"
printf '2 -\n' | "$replay" --scale 1 --shot "1:$work/one.png" >/dev/null || fail "a shot inside the script"
[[ -s $work/one.png ]] || fail "no picture written"
# A picture that cannot be written leaves its target as it was, and the
# pictures after it are still drawn.
ln -s /dev/full "$work/full.png"
printf '3 -\n' | "$replay" --scale 1 --shot "0:$work/full.png" --shot "0:/nonexistent/a.png" \
  --shot "2:$work/two.png" >/dev/null 2>"$work/err"
[[ $? -eq 1 && $(readlink "$work/full.png") == /dev/full && -s $work/two.png ]] || fail "failed shots: $(cat "$work/err")"
[[ $(grep -c 'could not write' "$work/err") -eq 2 ]] && ! grep -q 'ends at' "$work/err" || fail "failed shots misreported"
[[ -z $(find "$work" -name '*.part*') ]] || fail "a scratch file was left behind"

# An empty script runs no tick.
[[ -z $(printf '' | "$replay") ]] || fail "empty script printed"

if ((failures > 0)); then
  echo "$failures replay check(s) failed"
  exit 1
fi
echo "replay checks passed"
