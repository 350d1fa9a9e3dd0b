#!/usr/bin/env bash
# The real korvanel program in a real X server (Xvfb), driven through its accessibility interface
# (panel_e2e.py): a single test and the full quick run on a RAM disk and on a loop-mounted ext4,
# Escape during a run, both screenshot exports, and the full run on "/" as an ordinary user meets
# it (not root: the test goes where that user may write). Needs root for the mounts and the user;
# skipped otherwise. The user is $KORVANEL_E2E_USER when set, else a scratch user made for the test
# and removed again. Only the processes the test started are ended, by their ids.
# usage: with_xvfb.sh panel_e2e_test.sh KORVANEL_PROGRAM (the X server is with_xvfb.sh's)
set -euo pipefail

program=$(realpath "$1")
skip() { echo "SKIP: $*"; exit 77; }

# --- inside a session bus of its own: one run of the program per scenario ---
inside() {
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  launcher=$!
  trap 'kill "$launcher" 2>/dev/null || true' EXIT
  mkdir -p "$SCRATCH/config/Korvanel" "$SCRATCH/runtime" "$SCRATCH/bin" "$SCRATCH/pictures"
  chmod 700 "$SCRATCH/runtime"
  printf '[Program]\nlng=1\ntest_time_id=0\n' >"$SCRATCH/config/Korvanel/Korvanel.ini"
  # A stand-in paint program records the file it is asked to open.
  printf '#!/bin/sh\nprintf "%%s\\n" "$1" >"%s/paint-record"\n' "$SCRATCH" >"$SCRATCH/bin/pinta"
  chmod +x "$SCRATCH/bin/pinta"
  failures=0
  if [ "$KORVANEL_E2E_INSIDE" = user ]; then
    # "/" belongs to root: the run goes to the user's home, or to /var/tmp when "/" holds no home.
    LEFT_ALSO="$HOME /var/tmp /tmp" scenario full / 0
  else
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
  fi
  [ "$failures" -eq 0 ] && echo "all panel scenarios passed ($KORVANEL_E2E_INSIDE)"
  return $((failures > 0))
}

# scenario NAME DRIVE EXPECTED_EXIT [ARG]; with SIGNAL set, the signal goes to the program after
# the driver has returned. Nothing named Korvanel* may be left in DRIVE (and in LEFT_ALSO).
scenario() {
  local name=$1 drive=$2 expected=$3 argument=${4:-}
  echo "--- $name on $drive as $(id -un)"
  : >"$SCRATCH/paint-record"
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$SCRATCH/config" \
    XDG_RUNTIME_DIR="$SCRATCH/runtime" PATH="$SCRATCH/bin:$PATH" "$PROGRAM" >"$SCRATCH/program.log" 2>&1 &
  local pid=$!
  local driver=0
  timeout 300 /usr/bin/python3 "$DRIVER" "$name" "$drive" $argument || driver=$?
  [ -n "${SIGNAL:-}" ] && kill -s "$SIGNAL" "$pid"
  local status=0
  timeout 60 tail --pid="$pid" -f /dev/null || { kill "$pid"; echo "FAIL: the program did not end"; }
  wait "$pid" || status=$?
  local left=0 place
  for place in "$drive" ${LEFT_ALSO:-}; do
    left=$((left + $(find "$place" -maxdepth 1 -name 'Korvanel*' -user "$(id -u)" 2>/dev/null | wc -l)))
  done
  if [ "$driver" -ne 0 ] || [ "$status" -ne "$expected" ] || [ "$left" -ne 0 ]; then
    echo "FAIL: $name on $drive: driver $driver, exit $status (wanted $expected), $left test entries left"
    sed 's/^/    /' "$SCRATCH/program.log"
    failures=$((failures + 1))
  else
    echo "ok: exit $status, nothing left on $drive ${LEFT_ALSO:-}"
  fi
}

if [ -n "${KORVANEL_E2E_INSIDE:-}" ]; then
  inside
  exit $?
fi

[ "$(id -u)" -eq 0 ] || skip "needs root to mount the test file systems and to run as another user"
for tool in dbus-run-session xdotool mkfs.ext4 runuser useradd /usr/bin/python3 /usr/libexec/at-spi-bus-launcher; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"

scratch=$(mktemp -d /tmp/korvanel-panel-e2e.XXXXXX)
user=${KORVANEL_E2E_USER:-}
made_user=
cleanup() {
  for mount in "$scratch/ram" "$scratch/ext4"; do mountpoint -q "$mount" && umount "$mount"; done
  [ -n "$made_user" ] && userdel --force --remove "$made_user" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
mkdir -p "$scratch/ram" "$scratch/ext4"
mount -t tmpfs -o size=300m korvanel-e2e "$scratch/ram"
truncate -s 600M "$scratch/ext4.img"
mkfs.ext4 -q -F "$scratch/ext4.img"
mount -o loop "$scratch/ext4.img" "$scratch/ext4"

# As root, on the test file systems.
set +e
KORVANEL_E2E_INSIDE=root SCRATCH="$scratch" PROGRAM="$program" DRIVER="$(dirname "$0")/panel_e2e.py" \
  dbus-run-session -- bash "$0" "$program" 2>&1 | grep -v 'dbus-daemon\|SpiRegistry'
status=${PIPESTATUS[0]}
set -e

# As an ordinary user, on "/": the program, the driver and this script in a place the user may
# read (the build tree may lie under root's home).
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "FAIL: the X server on $DISPLAY has gone"; exit 1; }
if [ -z "$user" ]; then
  made_user=korvanel-e2e-$$
  useradd --create-home --shell /usr/sbin/nologin "$made_user"
  user=$made_user
fi
shared=$scratch/shared
mkdir -p "$shared"
cp "$program" "$(dirname "$0")/panel_e2e.py" "$0" "$shared/"
chmod 755 "$scratch" "$shared"
user_scratch=$(runuser -u "$user" -- mktemp -d /tmp/korvanel-panel-e2e-user.XXXXXX)
set +e
runuser -u "$user" -- env -i HOME="$(getent passwd "$user" | cut -d: -f6)" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" \
  KORVANEL_E2E_INSIDE=user SCRATCH="$user_scratch" PROGRAM="$shared/$(basename "$program")" \
  DRIVER="$shared/panel_e2e.py" dbus-run-session -- bash "$shared/$(basename "$0")" "$shared/$(basename "$program")" \
  2>&1 | grep -v 'dbus-daemon\|SpiRegistry'
user_status=${PIPESTATUS[0]}
set -e
rm -rf "$user_scratch"
exit $((status != 0 || user_status != 0))
