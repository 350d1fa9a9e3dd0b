#!/usr/bin/env bash
# The real korvanel program in a real X server (Xvfb), driven through its accessibility interface
# (panel_e2e.py): a single test and the full quick run on a RAM disk and on a loop-mounted ext4,
# Escape during a run, and both screenshot exports. Needs root for the mounts; skipped otherwise.
# usage: panel_e2e_test.sh KORVANEL_PROGRAM
set -euo pipefail

program=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
skip() { echo "SKIP: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "needs root to mount the test file systems"
for tool in Xvfb dbus-run-session xdotool mkfs.ext4 /usr/bin/python3 /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"

if [ "${1:-}" != "--inside" ] && [ -z "${KORVANEL_E2E_INSIDE:-}" ]; then
  scratch=$(mktemp -d /tmp/korvanel-panel-e2e.XXXXXX)
  cleanup() {
    pkill -f "^$program\$" 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    for mount in "$scratch/ram" "$scratch/ext4"; do mountpoint -q "$mount" && umount "$mount"; done
    rm -rf "$scratch"
  }
  trap cleanup EXIT
  mkdir -p "$scratch/ram" "$scratch/ext4"
  mount -t tmpfs -o size=300m korvanel-e2e "$scratch/ram"
  truncate -s 600M "$scratch/ext4.img"
  mkfs.ext4 -q -F "$scratch/ext4.img"
  mount -o loop "$scratch/ext4.img" "$scratch/ext4"
  exec 5<> <(:)
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 20 display <&5 || { echo "Xvfb did not start"; exit 1; }
  export DISPLAY=":$display" KORVANEL_E2E_INSIDE=1 SCRATCH="$scratch" PROGRAM="$program"
  dbus-run-session -- bash "$0" "$program" 2>&1 | grep -v 'dbus-daemon\|SpiRegistry'
  exit "${PIPESTATUS[0]}"
fi

# --- inside the session bus: one run of the program per scenario ---
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
mkdir -p "$SCRATCH/config/Korvanel" "$SCRATCH/runtime" "$SCRATCH/bin" "$SCRATCH/pictures"
chmod 700 "$SCRATCH/runtime"
printf '[Program]\nlng=1\ntest_time_id=0\n' >"$SCRATCH/config/Korvanel/Korvanel.ini"
# A stand-in paint program records the file it is asked to open.
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >"%s/paint-record"\n' "$SCRATCH" >"$SCRATCH/bin/pinta"
chmod +x "$SCRATCH/bin/pinta"
failures=0

# scenario NAME DRIVE EXPECTED_EXIT [ARG]; with SIGNAL set, the signal goes to the program after
# the driver has returned.
scenario() {
  local name=$1 drive=$2 expected=$3 argument=${4:-}
  echo "--- $name on $drive"
  : >"$SCRATCH/paint-record"
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$SCRATCH/config" \
    XDG_RUNTIME_DIR="$SCRATCH/runtime" PATH="$SCRATCH/bin:$PATH" "$PROGRAM" >"$SCRATCH/program.log" 2>&1 &
  local pid=$!
  local driver=0
  timeout 300 /usr/bin/python3 "$(dirname "$0")/panel_e2e.py" "$name" "$drive" $argument || driver=$?
  [ -n "${SIGNAL:-}" ] && kill -s "$SIGNAL" "$pid"
  local status=0
  timeout 60 tail --pid="$pid" -f /dev/null || { kill "$pid"; echo "FAIL: the program did not end"; }
  wait "$pid" || status=$?
  local left
  left=$(find "$drive" -maxdepth 1 -name 'Korvanel*' | wc -l)
  if [ "$driver" -ne 0 ] || [ "$status" -ne "$expected" ] || [ "$left" -ne 0 ]; then
    echo "FAIL: $name on $drive: driver $driver, exit $status (wanted $expected), $left test entries left"
    sed 's/^/    /' "$SCRATCH/program.log"
    failures=$((failures + 1))
  else
    echo "ok: exit $status, nothing left on $drive"
  fi
}

for drive in "$SCRATCH/ram" "$SCRATCH/ext4"; do
  scenario single "$drive" 0
  scenario full "$drive" 0
done
# Escape during a run: 4660, which a Linux exit status carries as 4660 mod 256 = 52.
scenario escape "$SCRATCH/ext4" 52
# A polite kill during a run is handled as Escape: the run stops and cleans up first.
SIGNAL=TERM scenario running "$SCRATCH/ext4" 52
scenario picture "$SCRATCH/ext4" 0 "$SCRATCH/paint-record"
scenario save "$SCRATCH/ext4" 0 "$SCRATCH/pictures/panel"
[ "$failures" -eq 0 ] && echo "all panel scenarios passed"
exit $((failures > 0))
