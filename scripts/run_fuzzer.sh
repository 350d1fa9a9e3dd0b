#!/usr/bin/env bash
# run_fuzzer.sh FUZZER WORK_CORPUS SEED_CORPUS FINDINGS_PREFIX
# Fuzzes for $KORVANEL_FUZZ_SECONDS (default 5) seconds, starting from the seeds and what earlier
# runs found (kept in WORK_CORPUS). A crash, a leak, undefined behaviour or a timeout fails the run;
# the input that caused it is written with FINDINGS_PREFIX and named in the output.
set -euo pipefail
fuzzer=$1 work=$2 seeds=$3 findings=$4
seconds=${KORVANEL_FUZZ_SECONDS:-5}
mkdir -p "$work"
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$findings$(basename "$fuzzer")-" "$work" "$seeds"
