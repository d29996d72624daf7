#!/usr/bin/env bash
# Checks velmora-replay (first argument) on the outcome key scripts in the
# folder given second: its line format, sounds, refusals and pictures.
set -u
replay=$1
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Each outcome's sound once; back at the title on the last tick, the love loop stopped.
for outcome in chased:431:runaway:- killed:1567:death:- mating:1110:love:stoplove; do
  IFS=: read -r script ticks sound last <<<"$outcome"
  "$replay" "$2/$script.txt" >"$work/out"
  [[ $? -eq 0 && $(grep -c "sounds=$sound$" "$work/out") -eq 1 &&
    $(tail -n1 "$work/out") =~ ^tick=$ticks\ playing=0\ .*sounds=$last$ ]] || fail "$script.txt: status, sound or end"
done

# Scripts and options: exit status, ticks printed, start of the message. An
# unreadable script or an endless line is refused before it is read whole.
while IFS='|' read -r args text status ticks message; do
  out=$(printf -- "$text" | timeout 60 "$replay" $args 2>"$work/err")
  [[ $? -eq $status && $(grep -c . <<<"$out") -eq $ticks && $(<"$work/err") == "$message"* ]] ||
    fail "'$args' '$text': $(<"$work/err")"
done <<EOF
|# a comment\n\n2 -\r\n1 LRS\n   \n1 SR\n|0|4|
|0 R\n|2|0|line 1:
|1 R\n1000001 -\n|2|0|line 2:
|1 R\n# fine\n%4096s\n5 X\n|2|0|line 4:
|%4097s\n|2|0|line 1:
|%4096s\r\n1 -\n|0|1|
|99999999999999999999 R\n|2|0|line 1:
/no/such/script||2|0|velmora-replay: cannot
$work||2|0|velmora-replay: cannot
/dev/zero||2|0|line 1:
--bogus|1 -\n|2|0|usage:
--window 0x120|1 -\n|2|0|velmora-replay: --window wants
--path quicker|1 -\n|2|0|velmora-replay: --path wants
EOF
want='tick=3 playing=1 fear=1000 excitement=1000 maleX=16 maleLeg=0 maleDead=0 femaleX=144 femaleLeg=0 chasedAway=0 killed=0 mating=0 outcomeTicks=0 messageTicks=0 alpha=0.0000 sounds=beep'
[[ $(printf '2 -\n1 LRS\n' | "$replay" | tail -n1) == "$want" ]] || fail "the line format"

# State lines that cannot be written (a full disk, a closed output): one message, and the end.
for out in /dev/full -; do
  "$replay" "$2/chased.txt" >&"$out" 2>"$work/err"
  [[ $? -eq 1 && $(wc -l <"$work/err") -eq 1 && $(<"$work/err") == *"cannot write the state lines"* ]] || fail "lines to $out"
done

# A picture that cannot be written leaves its target as it was, the pictures
# after it are still drawn, and one past the script's end is an error. One
# replaced keeps its permissions; a name may be as long as the system allows.
ln -s /dev/full "$work/full.png"
install -m 640 /dev/null "$work/kept.png"
longest=$work/$(printf '%0251d' 0).png
printf '3 -\n' | "$replay" --scale 1 --shot "0:$work/full.png" --shot "0:/nonexistent/a.png" --shot "2:$work/two.png" \
  --shot "2:$work/kept.png" --shot "2:$longest" --shot "9:$work/late.png" >/dev/null 2>"$work/err"
[[ $? -eq 1 && $(readlink "$work/full.png") == /dev/full && -s $work/two.png && ! -e $work/late.png &&
  $(stat -c %a "$work/kept.png") == 640 && -s $longest &&
  $(grep -c 'could not write' "$work/err") -eq 2 && $(grep -c 'ends at tick 3' "$work/err") -eq 1 ]] ||
  fail "shots: $(<"$work/err")"
[[ -z $(find "$work" -name '*.part*') ]] || fail "a scratch file was left behind"

((failures == 0)) || { echo "$failures replay check(s) failed"; exit 1; }
echo "replay checks passed"
