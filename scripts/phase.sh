#!/usr/bin/env bash
# phase.sh NAME COMMAND...: runs COMMAND, then says how long the phase NAME took (also when it
# failed) and ends with COMMAND's status. Sourced, it gives the function phase, which does the same
# for shell functions too and adds "NAME N s" to the array phase_times.
phase_times=()

phase() {
  local name=$1 start status=0 took
  shift
  start=$(date +%s)
  "$@" || status=$?
  took=$(($(date +%s) - start))
  phase_times+=("$name $(phase_duration $took)")
  printf -- '-- %s took %s%s\n' "$name" "$(phase_duration $took)" "$([ $status -eq 0 ] || echo ", and failed ($status)")"
  return $status
}

phase_duration() {
  if (($1 < 60)); then echo "$1 s"; else printf '%d min %02d s\n' $(($1 / 60)) $(($1 % 60)); fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  phase "$@"
fi
