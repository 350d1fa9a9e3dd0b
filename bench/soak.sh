#!/usr/bin/env bash
# Runs RUNS single tests one after the other in one process (as a panel left open all day does) and
# prints per run the peak and current memory, the open descriptors and the threads, during the run
# and after it; then says whether they stayed flat.
#
#   bench/soak.sh [DIR] [RUNS] [TEST]   (DIR: a new directory under /var/tmp; RUNS: 30;
#                                        TEST: seq, 4k, 512k, qd64 or access; default: all in turn)
#
# Each run uses the quick length: a 100 MiB file, 600 ms windows. Run after `make run`.
# Flat means: after the first round of tests, the peak memory grows by less than 1 MiB in all, and
# the descriptors and threads after each run are what they were after the first.
set -euo pipefail
cd "$(dirname "$0")/.."
soak=${KORVANEL_SOAK:-build/bench/korvanel-soak}
[ -x "$soak" ] || { echo "bench/soak.sh: $soak is missing; run 'make run' first" >&2; exit 1; }
own_dir=
figures=
trap '[ -n "$own_dir" ] && rm -rf "$own_dir"; [ -n "$figures" ] && rm -f "$figures"' EXIT
dir=${1:-}
if [ -z "$dir" ]; then
  dir=$(mktemp -d /var/tmp/korvanel-soak.XXXXXX)
  own_dir=$dir
fi
runs=${2:-30}
round=5  # after the first round of tests every allocation pattern has been seen once
[ -n "${3:-}" ] && round=1
[ "$runs" -gt "$round" ] || { echo "bench/soak.sh: RUNS must be more than $round" >&2; exit 2; }
figures=$(mktemp)

"$soak" "$dir" "$runs" ${3:+"$3"} | tee "$figures"
awk -v round="$round" '
  NR == 1 { next }
  { run = $1; peak = $3; fds = $6; threads = $8; errors = $9 }
  run == round { base_peak = peak; base_fds = fds; base_threads = threads }
  run > round && (fds != base_fds || threads != base_threads) { moved = 1 }
  errors > 0 { failed = 1 }
  END {
    growth = peak - base_peak
    printf "peak memory after run %d: %d KiB, after run %d: %d KiB (%+d KiB); descriptors %d, threads %d after each run\n",
           round, base_peak, run, peak, growth, base_fds, base_threads
    if (failed) { print "runs reported errors"; exit 1 }
    if (growth >= 1024 || moved) { print "NOT FLAT"; exit 1 }
    print "flat"
  }' "$figures"
