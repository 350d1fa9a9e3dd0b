#!/usr/bin/env bash
# Runs korvanel-cli and fio side by side on the same directory, with the same block sizes, queue
# depths, direct I/O and pass windows, interleaved round by round, and prints each of the eight
# rates with the ratio Korvanel / fio. Both sides take the best of the measured passes.
#
#   bench/compare_fio.sh [DIR] [ROUNDS]     (DIR: a new directory under /var/tmp; ROUNDS: 5)
#
# Rates are KiB per millisecond, Korvanel's "MB/s". Needs fio and python3; run after `make run`.
#
# fio is set up to do what Korvanel does: its file is written anew in full before each test (as
# Korvanel's fill does; a fallocated file would measure unwritten-extent conversion instead), every write sends
# the same buffer (Korvanel reuses one pseudo-random 1 MiB buffer; fio's default scrambling changes it
# each time), and fio keeps no per-request latency clocks (Korvanel reads the clock once per request).
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${KORVANEL_CLI:-build/app/korvanel-cli}
dir=${1:-$(mktemp -d /var/tmp/korvanel-bench.XXXXXX)}
rounds=${2:-5}
length=1            # short test: 200 MiB file, 1.2 s windows, two measured passes
size_mb=200
window_ms=1200
passes=2
export XDG_CONFIG_HOME=$(mktemp -d)
fio_dir=
fio_file=
results=$(mktemp)
trap 'rm -rf "$fio_dir" "$XDG_CONFIG_HOME"; [ -n "${KEEP_RESULTS:-}" ] || rm -f "$results"' EXIT

command -v fio >/dev/null || { echo "fio is missing (apt-get install fio)"; exit 1; }
[ -x "$cli" ] || { echo "build korvanel-cli first (make run)"; exit 1; }

# name  korvanel-test  korvanel-key  fio-rw  block  engine  depth
cases=(
  "seq-read    seq  SR         read      1M   psync    1"
  "seq-write   seq  SW         write     1M   psync    1"
  "4k-read     4k   RR4KB      randread  4k   psync    1"
  "4k-write    4k   RW4KB      randwrite 4k   psync    1"
  "512k-read   512k RR512KB    randread  512k psync    1"
  "512k-write  512k RW512KB    randwrite 512k psync    1"
  "qd64-read   qd64 RR4KB64QD  randread  4k   io_uring 64"
  "qd64-write  qd64 RW4KB64QD  randwrite 4k   io_uring 64"
)

korvanel_rate() {  # test key -> rate
  "$cli" --drive "$dir" --length $length --test "$1" --json 2>/dev/null |
    sed -n "s/.*\"$2\": \([0-9.]*\).*/\1/p"
}

fio_rate() {  # rw block engine depth -> best of the measured passes, KiB per ms
  local best=0 rate pass
  for pass in $(seq 0 $passes); do  # pass 0 warms up and is not counted, as in Korvanel
    rate=$(fio --name=bench --filename="$fio_file" --size=${size_mb}M --rw="$1" --bs="$2" \
      --ioengine="$3" --iodepth="$4" --direct=1 --time_based --runtime=${window_ms}ms --end_fsync=1 \
      --scramble_buffers=0 --gtod_reduce=1 \
      --output-format=json 2>/dev/null |
      python3 -c 'import json,sys; j=json.load(sys.stdin)["jobs"][0]; print((j["read"]["bw"]+j["write"]["bw"])/1000)')
    if [ "$pass" -gt 0 ] && awk -v a="$rate" -v b="$best" 'BEGIN { exit !(a > b) }'; then best=$rate; fi
  done
  echo "$best"
}

# A new directory each time, as Korvanel makes: where the file system places a file changes its
# speed on some disks (a virtual disk here by up to a third), so both sides take their chances alike.
write_fio_file() {
  rm -rf "$fio_dir"
  fio_dir=$(mktemp -d "$dir/fio-bench.XXXXXX")
  fio_file=$fio_dir/fio-bench.tmp
  dd if=/dev/urandom of="$fio_file" bs=1M count=$size_mb oflag=direct conv=fsync status=none
}

echo "directory: $dir, $rounds rounds, ${size_mb} MiB, ${window_ms} ms windows, best of $passes passes"
for round in $(seq 1 "$rounds"); do
  declare -A korvanel=()
  for test in seq 4k 512k qd64; do  # one Korvanel run measures both directions of a test
    for c in "${cases[@]}"; do
      read -r name ktest key rw bs engine depth <<<"$c"
      [ "$ktest" = "$test" ] || continue
      korvanel[$name]=$(korvanel_rate "$ktest" "$key")
    done
    # Like Korvanel's test file, fio's is written anew in full before each test.
    write_fio_file
    for c in "${cases[@]}"; do
      read -r name ktest key rw bs engine depth <<<"$c"
      [ "$ktest" = "$test" ] || continue
      echo "$name ${korvanel[$name]} $(fio_rate "$rw" "$bs" "$engine" "$depth")" >>"$results"
    done
  done
  echo "round $round done"
done

[ -n "${KEEP_RESULTS:-}" ] && echo "per-round figures: $results"
python3 - "$results" <<'PY'
import statistics, sys
rows = {}
for line in open(sys.argv[1]):
    name, k, f = line.split()
    rows.setdefault(name, []).append((float(k), float(f)))
print(f"{'test':<12}{'korvanel':>12}{'fio':>12}{'ratio':>8}  {'round ratios':>16}   (medians over rounds)")
for name, pairs in rows.items():
    k = statistics.median(p[0] for p in pairs)
    f = statistics.median(p[1] for p in pairs)
    ratios = [p[0] / p[1] for p in pairs if p[1]]
    spread = f"{min(ratios):.2f} .. {max(ratios):.2f}" if ratios else "-"
    print(f"{name:<12}{k:>12.2f}{f:>12.2f}{k / f if f else float('nan'):>8.3f}  {spread:>16}")
PY
