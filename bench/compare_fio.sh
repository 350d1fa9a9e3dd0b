#!/usr/bin/env bash
# Runs korvanel-cli and fio side by side on the same directory, with the same block sizes, queue
# depths, direct I/O and pass windows, and prints each of the eight rates with the ratio
# Korvanel / fio. Both sides take the best of the measured passes.
#
#   bench/compare_fio.sh [DIR] [ROUNDS]     (DIR: a new directory under /var/tmp; ROUNDS: 8)
#   SETTLE_S=2  seconds of quiet before each side; KEEP_RESULTS=1 keeps the per-round figures;
#   TESTS="seq 4k 512k qd64"  the tests to compare; CONTROL=1 puts fio in Korvanel's place, which
#   shows how far the machine's noise alone moves the ratios
#
# A shared virtual machine's disk speed drifts by a fifth and more within a minute, so single
# figures say little: each round runs both sides of a test back to back, the side that goes first
# alternates, and the verdict is the median of the per-round ratios.
#
# Rates are KiB per millisecond, Korvanel's "MB/s". Needs fio and python3; run after `make run`.
#
# fio is set up to do what Korvanel does:
# - its buffer lies in huge pages, as Korvanel's does: a 1 MiB request over scattered 4 KiB pages
#   exceeds the virtio disk's 254 segments and goes out as two, which halves the sequential rate
#   here, and fio's malloc'd buffer is contiguous only by luck. The script reserves a few huge pages
#   while it runs (as root) and gives fio --iomem=shmhuge;
# - its file is written anew in full before each test, as Korvanel's fill does (a fallocated file
#   would measure unwritten-extent conversion instead);
# - every write sends the same buffer: Korvanel reuses one pseudo-random 1 MiB buffer, fio's
#   default scrambling changes it each time;
# - it keeps no per-request latency clocks (Korvanel reads the clock once per request).
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${KORVANEL_CLI:-build/app/korvanel-cli}
own_dir=
[ -n "${1:-}" ] || own_dir=$(mktemp -d /var/tmp/korvanel-bench.XXXXXX)
dir=${1:-$own_dir}
rounds=${2:-8}
settle_s=${SETTLE_S:-2}
length=1            # short test: 200 MiB file, 1.2 s windows, two measured passes
size_mb=200
window_ms=1200
passes=2
export XDG_CONFIG_HOME=$(mktemp -d)
fio_file=
results=$(mktemp)
hugepages_before=$(cat /proc/sys/vm/nr_hugepages 2>/dev/null || echo 0)
cleanup() {
  rm -rf "$dir"/fio-bench.* "$XDG_CONFIG_HOME"
  [ "$(cat /proc/sys/vm/nr_hugepages 2>/dev/null || echo 0)" = "$hugepages_before" ] ||
    echo "$hugepages_before" >/proc/sys/vm/nr_hugepages
  [ -z "$own_dir" ] || rmdir "$own_dir"
  [ -n "${KEEP_RESULTS:-}" ] || rm -f "$results"
}
trap cleanup EXIT

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

# Korvanel asks for transparent huge pages; fio can only have reserved ones.
fio_mem=malloc
if ! grep -q '\[never\]' /sys/kernel/mm/transparent_hugepage/enabled 2>/dev/null; then
  [ "$hugepages_before" -ge 4 ] || echo 4 >/proc/sys/vm/nr_hugepages 2>/dev/null || true
  [ "$(cat /proc/sys/vm/nr_hugepages 2>/dev/null || echo 0)" -ge 4 ] && fio_mem=shmhuge
fi

korvanel_rate() {  # test key -> rate (0 when the run failed)
  local rate
  rate=$("$cli" --drive "$dir" --length $length --test "$1" --json 2>/dev/null |
    sed -n "s/.*\"$2\": \([0-9.]*\).*/\1/p") || true
  echo "${rate:-0}"
}

fio_rate() {  # rw block engine depth -> best of the measured passes, KiB per ms
  local best=0 rate pass
  for pass in $(seq 0 $passes); do  # pass 0 warms up and is not counted, as in Korvanel
    rate=$(fio --name=bench --filename="$fio_file" --size=${size_mb}M --rw="$1" --bs="$2" \
      --ioengine="$3" --iodepth="$4" --direct=1 --time_based --runtime=${window_ms}ms --end_fsync=1 \
      --scramble_buffers=0 --gtod_reduce=1 --iomem=$fio_mem \
      --output-format=json 2>/dev/null |
      python3 -c 'import json,sys; j=json.load(sys.stdin)["jobs"][0]; print((j["read"]["bw"]+j["write"]["bw"])/1000)')
    if [ "$pass" -gt 0 ] && awk -v a="$rate" -v b="$best" 'BEGIN { exit !(a > b) }'; then best=$rate; fi
  done
  echo "$best"
}

# A new directory each time, as Korvanel makes: where the file system places a file changes its
# speed on some disks (a virtual disk here by up to a third), so both sides take their chances alike.
write_fio_file() {
  fio_file=$(mktemp -d "$dir/fio-bench.XXXXXX")/fio-bench.tmp
  dd if=/dev/urandom of="$fio_file" bs=1M count=$size_mb oflag=direct conv=fsync status=none
}

# Before each side: what the previous side wrote is flushed and the disk gets a moment, so one side's
# write-back does not slow the other's reads.
settle() { sync; sleep "$settle_s"; }

run_korvanel() {  # test -> lines "name rate" for both directions
  if [ -n "${CONTROL:-}" ]; then run_fio "$1"; return; fi
  settle
  local c name ktest key rest
  for c in "${cases[@]}"; do
    read -r name ktest key rest <<<"$c"
    if [ "$ktest" = "$1" ]; then echo "$name $(korvanel_rate "$ktest" "$key")"; fi
  done
}

run_fio() {  # test -> lines "name rate"; like Korvanel's test file, fio's is written anew first
  settle
  write_fio_file
  local c name ktest key rw bs engine depth
  for c in "${cases[@]}"; do
    read -r name ktest key rw bs engine depth <<<"$c"
    if [ "$ktest" = "$1" ]; then echo "$name $(fio_rate "$rw" "$bs" "$engine" "$depth")"; fi
  done
  rm -rf "$(dirname "$fio_file")"
}

echo "directory: $dir, $rounds rounds, ${size_mb} MiB, ${window_ms} ms windows, best of $passes passes," \
  "fio buffers: $fio_mem"
for round in $(seq 1 "$rounds"); do
  for test in ${TESTS:-seq 4k 512k qd64}; do  # one Korvanel run measures both directions of a test
    # Who goes first alternates from round to round, so a drift in the machine's speed favours
    # neither side.
    if [ $((round % 2)) -eq 1 ]; then
      k=$(run_korvanel $test); f=$(run_fio $test)
    else
      f=$(run_fio $test); k=$(run_korvanel $test)
    fi
    join <(sort <<<"$k") <(sort <<<"$f") >>"$results"
  done
  echo "round $round done"
done

[ -n "${KEEP_RESULTS:-}" ] && echo "per-round figures: $results"
python3 - "$results" "${CONTROL:+fio (A)}" "${cases[@]}" <<'PY'
import statistics, sys
side = sys.argv[2] or "korvanel"
order = [c.split()[0] for c in sys.argv[3:]]
rows = {}
for line in open(sys.argv[1]):
    name, k, f = line.split()
    rows.setdefault(name, []).append((float(k), float(f)))
print("Each round runs both sides back to back; the ratio is the median of the per-round ratios.")
print(f"{'test':<12}{side:>10}{'fio':>10}{'ratio':>8}  {'middle half':>13}  {'all rounds':>13}")
verdict = True
for name in order:
    pairs = rows.get(name)
    if pairs is None: continue  # a test not asked for
    ratios = sorted(k / f for k, f in pairs if f > 0)
    if not ratios:
        print(f"{name:<12}  no figures"); verdict = False; continue
    k = statistics.median(p[0] for p in pairs)
    f = statistics.median(p[1] for p in pairs)
    r = statistics.median(ratios)
    q = statistics.quantiles(ratios, n=4) if len(ratios) > 1 else [r, r, r]
    ok = r >= 0.95 if name.startswith("qd64") else 0.95 <= r <= 1.05
    verdict &= ok
    print(f"{name:<12}{k:>10.1f}{f:>10.1f}{r:>8.3f}  {q[0]:>5.2f} .. {q[2]:<5.2f}  {ratios[0]:>5.2f} .. {ratios[-1]:<5.2f}"
          f"  {'' if ok else '<- outside target'}")
print("target (0.95..1.05, queued at least 0.95):", "met" if verdict else "NOT met")
PY
