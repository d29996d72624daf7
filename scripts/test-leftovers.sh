#!/usr/bin/env bash
# What the tests left running: every process whose environment carries
# VELMORA_TEST_RUN=RUN, the mark the test command gives all it starts, other
# than this script and its callers. Gives them up to a minute to end by
# themselves (a Wine server outlives its last program by a few seconds); then
# lists those still running with their command lines, ends them by their ids
# and fails.
#   test-leftovers.sh RUN
set -uo pipefail
run=${1:?usage: test-leftovers.sh RUN}

callers=" "
for ((pid = $$; pid > 1; pid = $(ps -o ppid= -p "$pid" || echo 0))); do callers+="$pid "; done

# Sets `left` to the marked processes. The list of processes is taken before
# grep starts, so grep, marked too, is not in it.
Marked() {
  local environs=(/proc/[0-9]*/environ) file pid
  left=()
  while read -r file; do
    pid=${file//[^0-9]/}
    [[ $callers == *" $pid "* ]] || left+=("$pid")
  done < <(grep -lzx "VELMORA_TEST_RUN=$run" "${environs[@]}" 2>/dev/null)
}

# Waits, up to SECONDS, until no marked process is left.
NoneLeftWithin() { # seconds
  local deadline=$((SECONDS + $1))
  while Marked && ((${#left[@]} > 0)); do
    ((SECONDS < deadline)) || return 1
    sleep 1
  done
}

NoneLeftWithin 60 && exit 0
echo "Left running by the tests, now ended:"
for pid in "${left[@]}"; do
  echo "  $pid $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)"
done
kill -TERM "${left[@]}" 2>/dev/null
NoneLeftWithin 10 || kill -KILL "${left[@]}" 2>/dev/null
exit 1
