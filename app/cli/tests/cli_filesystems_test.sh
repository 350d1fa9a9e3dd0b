#!/usr/bin/env bash
# korvanel-cli on real file systems made on loop devices: full runs, errors the user must see, stop
# requests, and a run as an unprivileged user. Every case checks that the drive is left as it was.
# Needs root (losetup, mount); exits 77 (skipped) without it.
set -uo pipefail

cli=$(readlink -f "$1")
if [ "$(id -u)" -ne 0 ] || ! command -v losetup >/dev/null || ! command -v mkfs.ext4 >/dev/null; then
  echo "skipped: needs root, losetup and mkfs.ext4"
  exit 77
fi

work=$(mktemp -d /tmp/korvanel-fs-test.XXXXXX)
export XDG_CONFIG_HOME=$work/config
mounts=()
loops=()
scratch_user=
cleanup() {
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount -l "${mounts[$i]}" 2>/dev/null; done
  for loop in "${loops[@]}"; do losetup -d "$loop" 2>/dev/null; done
  [ -n "$scratch_user" ] && userdel "$scratch_user" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
pass() { echo "ok   - $1"; }
fail() { echo "FAIL - $1"; failures=$((failures + 1)); }
check() { if eval "$2"; then pass "$1"; else fail "$1"; fi; }

# make_fs NAME SIZE_MB MKFS [MOUNT OPTIONS]: a fresh file system on a loop device, mounted at $work/NAME.
make_fs() {
  local name=$1 size=$2 mkfs=$3 options=${4:-}
  truncate -s "${size}M" "$work/$name.img"
  local loop
  loop=$(losetup -f --show "$work/$name.img") || return 1
  loops+=("$loop")
  $mkfs "$loop" >/dev/null 2>&1 || return 1
  mkdir -p "$work/$name"
  mount ${options:+-o $options} "$loop" "$work/$name" || return 1
  mounts+=("$work/$name")
}

# Nothing of Korvanel's may remain: only what the file system itself keeps (lost+found).
leftovers() { find "$1" -mindepth 1 -maxdepth 1 ! -name lost+found | wc -l; }

json_value() { sed -n "s/.*\"$2\": \([0-9.]*\).*/\1/p" "$1"; }

all_rates_measured() {
  local json=$1 key value
  for key in SR SW RR4KB RW4KB RR512KB RW512KB RR4KB64QD RW4KB64QD RR RW; do
    value=$(json_value "$json" "$key")
    awk -v v="$value" 'BEGIN { exit !(v > 0) }' || { echo "  $key = '$value'"; return 1; }
  done
}

echo "# full quick run on ext4"
make_fs ext4 400 mkfs.ext4
"$cli" --drive "$work/ext4" --length 0 --json >"$work/ext4.json" 2>"$work/ext4.err"
rc=$?
check "full run exits 0" "[ $rc -eq 0 ]"
check "all ten rates measured" "all_rates_measured $work/ext4.json"
check "m_test_id 6, test_time 0" "grep -q '\"m_test_id\": 6,' $work/ext4.json && grep -q '\"test_time\": 0,' $work/ext4.json"
check "status lines in order" "grep -q '^Sequential Read 1/1$' $work/ext4.err && grep -q '^Random Write 4KB x 64 1/1$' $work/ext4.err"
check "ext4 mount left empty" "[ $(leftovers "$work/ext4") -eq 0 ]"
check "test length stored" "grep -q '^test_time_id=0' $XDG_CONFIG_HOME/Korvanel/Korvanel.ini"
check "the drive is described in the JSON" \
  "grep -q '\"Root\": \"$work/ext4\"' $work/ext4.json && grep -q '\"Interface\": \"Loop\"' $work/ext4.json"

echo "# large blocks reach the device whole"
# A 1 MiB block over scattered 4 KiB pages exceeds the loop device's 128 segments and would be split
# in two; the transfer buffer lies in a huge page wherever the kernel has them.
if [ -n "${KORVANEL_SANITIZED:-}" ]; then
  # AddressSanitizer's allocator touches the buffer before the huge-page advice can take effect.
  echo "skipped: built with AddressSanitizer"
elif ! grep -q '\[never\]' /sys/kernel/mm/transparent_hugepage/enabled 2>/dev/null; then
  disk_stat=/sys/block/$(basename "${loops[0]}")/stat
  read -r reads_before _ sectors_before _ <"$disk_stat"
  "$cli" --drive "$work/ext4" --length 0 --test seq >/dev/null 2>&1
  read -r reads_after _ sectors_after _ <"$disk_stat"
  kib_per_read=$(( (sectors_after - sectors_before) / 2 / (reads_after - reads_before) ))
  check "sequential reads go out as 1 MiB requests ($kib_per_read KiB each)" "[ $kib_per_read -ge 1000 ]"
else
  echo "skipped: the kernel gives no huge pages"
fi

echo "# drive list, report page and translation files"
"$cli" --list >"$work/list.txt"
check "--list shows the ext4 mount with its loop disk" "grep -q '^[0-9]*: $work/ext4 ' $work/list.txt"
index=$(sed -n "s|^\([0-9]*\): $work/ext4 .*|\1|p" "$work/list.txt")
"$cli" --drive "$index" --length 0 --test access --report-file "$work/report.html" >/dev/null 2>&1
rc=$?
check "--drive by list index with --report-file exits 0" "[ $rc -eq 0 ]"
check "the report page posts to the comparison site" "grep -q 'DriveChartsCompare' $work/report.html"
check "ext4 mount still empty after the indexed run" "[ $(leftovers "$work/ext4") -eq 0 ]"
translation=$(XDG_RUNTIME_DIR=$work "$cli" --export-translation)
check "--export-translation writes a UTF-16 file" "[ \"\$(head -c 6 '$translation' | od -An -tx1 | tr -d ' ')\" = fffe0d000a00 ]"
"$cli" --load-translation "$translation" --drive "$work/ext4" --length 0 --test access >/dev/null 2>"$work/translation.err"
check "loading the exported file gives 100 %" "grep -qx '100 %' $work/translation.err"

echo "# queued test through native AIO (where io_uring is switched off)"
KORVANEL_QUEUED_IO=aio "$cli" --drive "$work/ext4" --length 0 --test qd64 --json >"$work/aio.json" 2>/dev/null
check "AIO run measures both queued rates" \
  "awk -v r=$(json_value "$work/aio.json" RR4KB64QD) -v w=$(json_value "$work/aio.json" RW4KB64QD) 'BEGIN { exit !(r > 0 && w > 0) }'"
check "ext4 mount still empty" "[ $(leftovers "$work/ext4") -eq 0 ]"

echo "# a file system smaller than the test file"
make_fs small 64 mkfs.ext4
"$cli" --drive "$work/small" --length 0 >/dev/null 2>"$work/small.err"
rc=$?
check "small drive exits 1" "[ $rc -eq 1 ]"
check "small drive says the disk is full" "grep -q 'Disk is Full' $work/small.err"
check "small drive left empty" "[ $(leftovers "$work/small") -eq 0 ]"

echo "# a read-only mount"
make_fs ro 64 mkfs.ext4 ro
"$cli" --drive "$work/ro" --length 0 --report-file "$work/failed.html" >"$work/ro.out" 2>"$work/ro.err"
rc=$?
check "read-only drive exits 1" "[ $rc -eq 1 ]"
check "a failed run sends no report" \
  "[ ! -e $work/failed.html ] && grep -q 'no comparison report: the run failed' $work/ro.err"
check "read-only drive reports the create error with the reason" \
  "grep -q 'File Create Error$' $work/ro.err && grep -q '^0x0000001E:Read-only file system$' $work/ro.err"
check "read-only drive names the directory it could not create" \
  "grep -q '^korvanel-cli: failed while creating the test directory $work/ro/Korvanel[0-9A-F]\\{8\\}$' $work/ro.err"
check "read-only drive prints no result table" "[ ! -s $work/ro.out ]"
# The engine speaks the chosen language, as the panel hands it the language's texts.
"$cli" --drive "$work/ro" --length 0 --lang 0 >/dev/null 2>"$work/ro-de.err"
check "in German the create error is German" "grep -q 'Fehler beim Erstellen der Datei$' $work/ro-de.err"
"$cli" --lang 1 --languages | grep -q '^\*  1  English' && pass "--lang 1 switches back and is marked" || fail "--lang 1 switches back and is marked"

echo "# stop requests"
# During a measured pass: the run ends after that pass and removes its file.
"$cli" --drive "$work/ext4" --length 1 --test seq --report-file "$work/stopped.html" >/dev/null 2>"$work/stop.err" &
pid=$!
sleep 4
kill -INT $pid
wait $pid
rc=$?
check "Ctrl+C during a pass exits 130" "[ $rc -eq 130 ]"
check "nothing left after Ctrl+C during a pass" "[ $(leftovers "$work/ext4") -eq 0 ]"
check "a stopped run sends no report" \
  "[ ! -e $work/stopped.html ] && grep -q 'no comparison report: the run was stopped' $work/stop.err"

echo "# a closed pipe"
# The reader goes away after the first line; every later status line meets a closed pipe.
"$cli" --drive "$work/ext4" --length 0 --test seq 2>&1 | head -1 >/dev/null
rc=${PIPESTATUS[0]}
check "a closed pipe does not kill the run (exit $rc: the results could not be written)" "[ $rc -eq 1 ]"
check "nothing left after a closed pipe" "[ $(leftovers "$work/ext4") -eq 0 ]"

# During the fill of a 1000 MiB test file.
make_fs big 1300 mkfs.ext4
"$cli" --drive "$work/big" --length 3 >/dev/null 2>"$work/fill.err" &
pid=$!
saw_fill=0
for _ in $(seq 1 2000); do
  file=$(find "$work/big" -name 'Korvanel*.tmp' 2>/dev/null | head -1)
  if [ -n "$file" ] && [ "$(stat -c %s "$file" 2>/dev/null || echo 0)" -gt 0 ]; then
    saw_fill=1
    kill -INT $pid
    break
  fi
  sleep 0.005
done
wait $pid
rc=$?
check "the fill was caught in progress" "[ $saw_fill -eq 1 ]"
check "Ctrl+C during the fill exits 130" "[ $rc -eq 130 ]"
check "nothing left after Ctrl+C during the fill" "[ $(leftovers "$work/big") -eq 0 ]"
check "no error box for a stop" "! grep -q 'korvanel-cli:' $work/fill.err"

echo "# an unprivileged user on a directory of its own"
mkdir -p "$work/ext4/nobody"
chown nobody "$work/ext4/nobody"
chmod 755 "$work" "$work/ext4"
runuser -u nobody -- env XDG_CONFIG_HOME=/nonexistent HOME=/nonexistent \
  "$cli" --drive "$work/ext4/nobody" --length 0 --test 4k --json >"$work/nobody.json" 2>"$work/nobody.err"
rc=$?
check "run as nobody exits 0" "[ $rc -eq 0 ]"
check "run as nobody measures" "awk -v v=$(json_value "$work/nobody.json" RR4KB) 'BEGIN { exit !(v > 0) }'"
check "nothing left in nobody's directory" "[ $(leftovers "$work/ext4/nobody") -eq 0 ]"

echo "# planted links where the test directory will be"
# Links to a victim directory under the names the millisecond tick gives in the next 20 s, all but
# one name in 64, then all of them: the run must find a free name (the next tick names, then
# unpredictable ones) and never write through a link.
mkdir -p "$work/victim"
before=$(leftovers "$work/ext4")
plant() {
  perl -MTime::HiRes=clock_gettime,CLOCK_MONOTONIC -e '
    my ($dir, $victim, $free) = @ARGV;
    my $now = int(clock_gettime(CLOCK_MONOTONIC) * 1000);
    for my $i (0 .. 20000) {
      my $tick = ($now + $i) & 0xFFFFFFFF;
      next if $free ne "" && $tick % 64 == $free;
      symlink($victim, sprintf("%s/Korvanel%08X", $dir, $tick));
    }' "$work/ext4" "$work/victim" "$1"
}
plant 63
planted=$(find "$work/ext4" -maxdepth 1 -type l | wc -l)
"$cli" --drive "$work/ext4" --length 0 --test seq >/dev/null 2>"$work/links.err"
rc=$?
check "planted links do not stop the run" "[ $rc -eq 0 ]"
check "nothing was written through a link" "[ -z \"\$(ls -A $work/victim)\" ]"
check "only the planted links remain" "[ $(leftovers "$work/ext4") -eq $((before + planted)) ]"
plant ""
planted=$(find "$work/ext4" -maxdepth 1 -type l | wc -l)
"$cli" --drive "$work/ext4" --length 0 --test seq >/dev/null 2>"$work/links-full.err"
rc=$?
check "$planted names taken ahead do not stop the run" "[ $rc -eq 0 ]"
check "still nothing written through a link" "[ -z \"\$(ls -A $work/victim)\" ]"
check "again only the planted links remain" "[ $(leftovers "$work/ext4") -eq $((before + planted)) ]"
find "$work/ext4" -maxdepth 1 -type l -delete

if command -v mkfs.btrfs >/dev/null; then
  echo "# btrfs: the test file must not be copy-on-write, or direct I/O goes through the cache"
  make_fs btrfs 400 mkfs.btrfs
  "$cli" --drive "$work/btrfs" --length 0 --test seq >/dev/null 2>/dev/null &
  pid=$!
  nocow=0
  for _ in $(seq 1 500); do
    file=$(find "$work/btrfs" -name 'Korvanel*.tmp' 2>/dev/null | head -1)
    if [ -n "$file" ] && lsattr "$file" 2>/dev/null | grep -q '^[^ ]*C'; then nocow=1; break; fi
    sleep 0.01
  done
  wait $pid
  rc=$?
  check "btrfs run exits 0" "[ $rc -eq 0 ]"
  check "btrfs test file has no copy-on-write" "[ $nocow -eq 1 ]"
  check "btrfs mount left empty" "[ $(leftovers "$work/btrfs") -eq 0 ]"
else
  echo "# btrfs skipped: mkfs.btrfs missing"
fi

echo "# tmpfs is a RAM disk, measured with cached I/O"
mkdir -p "$work/ram"
mount -t tmpfs -o size=300m tmpfs "$work/ram" && mounts+=("$work/ram")
"$cli" --drive "$work/ram" --length 0 --test seq --json >"$work/ram.json" 2>"$work/ram.err"
rc=$?
check "tmpfs run exits 0" "[ $rc -eq 0 ]"
check "tmpfs status says RAM disk" "grep -q 'RAM disk' $work/ram.err"
check "tmpfs left empty" "[ $(leftovers "$work/ram") -eq 0 ]"

echo "# RAM disks without a size limit"
# ramfs has none, tmpfs mounted with size=0 neither: both say 0 blocks, which is no full drive.
for kind in ramfs "tmpfs size=0"; do
  name=${kind%% *}0
  mkdir -p "$work/$name"
  if [ "$kind" = ramfs ]; then mount -t ramfs ramfs "$work/$name"; else mount -t tmpfs -o size=0 tmpfs "$work/$name"; fi &&
    mounts+=("$work/$name")
  "$cli" --drive "$work/$name" --length 0 --test seq --json >"$work/$name.json" 2>"$work/$name.err"
  rc=$?
  check "$kind: measured, not refused for space (exit $rc)" \
    "[ $rc -eq 0 ] && awk -v v=\"\$(json_value $work/$name.json SR)\" 'BEGIN { exit !(v > 0) }'"
  check "$kind: left empty" "[ $(leftovers "$work/$name") -eq 0 ]"
done

echo "# a drive without a disk is described by what is known"
"$cli" --list --json >"$work/list-ram.json"
check "tmpfs in --list --json: its size, free space, file system and a summary without empty brackets" \
  "python3 - '$work/list-ram.json' '$work/ram' <<'PY'
import json, sys
drive = next(d for d in json.load(open(sys.argv[1]))['drives'] if d['Root'] == sys.argv[2])
ok = (drive['TotalBytes'] == 300 << 20 and 0 < drive['FreeBytes'] <= drive['TotalBytes']
      and drive['FileSystem'] == 'tmpfs' and ' Partition: (tmpfs) tmpfs' in drive['Summary']
      and ' of 0.29 GB' in drive['Summary'] and '[]' not in drive['Summary'] and '()' not in drive['Summary'])
sys.exit(0 if ok else print(drive) or 1)
PY"
check "the run names the file system, not empty brackets" \
  "grep -q '^Korvanel [0-9.]*: testing $work/ram (tmpfs) with 100 MiB$' $work/ram.err"

echo "# a mount point whose name is no UTF-8"
odd="$work/odd-$(printf '\377\376')"
mkdir -p "$odd" && mount -t tmpfs -o size=10m tmpfs "$odd" && mounts+=("$odd")
"$cli" --list --json >"$work/list-odd.json"
check "--list --json stays valid UTF-8, the odd bytes as U+FFFD" \
  "python3 -c 'import json, sys; d = json.loads(open(sys.argv[1], \"rb\").read().decode(\"utf-8\")); sys.exit(not any(x[\"Root\"].endswith(\"odd-\ufffd\ufffd\") for x in d[\"drives\"]))' $work/list-odd.json"

echo "# control characters in paths reach the terminal escaped"
# A drive too small for the test file, named to clear the screen, holding what looks like an
# earlier run's directory: the error line, the leftover line and the free-space line all name it.
esc=$(printf '\033')
hostile="$work/x${esc}[2Jy"
mkdir -p "$hostile" && mount -t tmpfs -o size=20m tmpfs "$hostile" && mounts+=("$hostile")
mkdir "$hostile/Korvanel0000ABCD" && head -c 1048576 /dev/zero >"$hostile/Korvanel0000ABCD/Korvanel0000ABCD.tmp"
"$cli" --drive "$hostile" --length 0 >/dev/null 2>"$work/hostile.err"
rc=$?
check "the full drive is reported (exit $rc)" "[ $rc -eq 1 ] && grep -q 'Disk is Full' $work/hostile.err"
check "the leftover and free-space lines name the path escaped" \
  "grep -qF 'Left by an earlier run? $work/x\\x1B[2Jy/Korvanel0000ABCD holds 1 MiB' $work/hostile.err &&
   grep -qF 'failed while checking the free space in $work/x\\x1B[2Jy: ' $work/hostile.err"
check "no escape character reaches stderr" "! grep -q \"\$esc\" $work/hostile.err"

echo "# the private directory taken by another user first"
# With XDG_RUNTIME_DIR unset, the report page and the translation export go to korvanel-<uid> in
# TMPDIR, a name anyone can predict. A second user makes it first, open to all: the files go to a
# directory with an unpredictable name instead, and the user is told where.
scratch_user=korvanel-scratch-$$
if useradd --system --no-create-home --shell /usr/sbin/nologin "$scratch_user" 2>/dev/null; then
  shared_tmp=$work/shared-tmp
  mkdir -p "$shared_tmp" && chmod 1777 "$shared_tmp"
  runuser -u "$scratch_user" -- sh -c "mkdir '$shared_tmp/korvanel-0' && chmod 777 '$shared_tmp/korvanel-0'"
  exported=$(env -u XDG_RUNTIME_DIR TMPDIR="$shared_tmp" "$cli" --export-translation 2>"$work/race.err")
  rc=$?
  check "the export still works (exit $rc)" "[ $rc -eq 0 ] && [ -f \"$exported\" ]"
  check "it went to an unpredictable directory of root's own" \
    "[[ \"$exported\" == $shared_tmp/korvanel-0-??????/translate_* ]] && [ \"\$(stat -c %U:%a \"\$(dirname \"$exported\")\")\" = root:700 ]"
  check "the user is told why and where" \
    "grep -qF 'korvanel-cli: $shared_tmp/korvanel-0 belongs to another user; the file is in $(dirname "$exported") instead' $work/race.err"
  check "nothing went into the other user's directory" "[ -z \"\$(ls -A $shared_tmp/korvanel-0)\" ]"
  again=$(env -u XDG_RUNTIME_DIR TMPDIR="$shared_tmp" "$cli" --export-translation 2>/dev/null)
  check "the next export uses the same directory" "[ \"\$(dirname \"$again\")\" = \"\$(dirname \"$exported\")\" ]"
  userdel "$scratch_user" && scratch_user=
else
  fail "useradd could make no scratch user"
fi

echo "# --report-file is checked before the run"
# In a shared directory another user plants a link to a file of ours, or a device, at the path.
mkdir -p "$work/shared"
chmod 1777 "$work/shared"
chmod 755 "$work"
echo precious >"$work/victim.conf"
runuser -u nobody -- ln -s "$work/victim.conf" "$work/shared/report.html"
"$cli" --drive "$work/ext4" --length 0 --report-file "$work/shared/report.html" >/dev/null 2>"$work/link.err"
rc=$?
check "another user's link at --report-file is refused before the run" \
  "[ $rc -eq 2 ] && grep -q 'symbolic link' $work/link.err && ! grep -q 'testing' $work/link.err"
check "the link and its target are untouched" "[ \"\$(cat $work/victim.conf)\" = precious ] && [ -L $work/shared/report.html ]"
mknod "$work/shared/device" c 1 3 && chmod 666 "$work/shared/device"
"$cli" --drive "$work/ext4" --length 0 --report-file "$work/shared/device" >/dev/null 2>"$work/device.err"
rc=$?
check "a device at --report-file is refused and stays a device" \
  "[ $rc -eq 2 ] && grep -q 'not a regular file' $work/device.err && [ -c $work/shared/device ]"
"$cli" --drive "$work/ext4" --length 0 --report-file "$work/missing/report.html" >/dev/null 2>"$work/missing.err"
rc=$?
check "--report-file into a missing directory fails before the run" \
  "[ $rc -eq 2 ] && grep -q 'No such file or directory' $work/missing.err && ! grep -q 'testing' $work/missing.err"
"$cli" --drive "$work/ext4" --length 0 --report-file "$work/ro/report.html" >/dev/null 2>"$work/ro-report.err"
rc=$?
check "--report-file on a read-only mount fails before the run" \
  "[ $rc -eq 2 ] && grep -q 'Read-only file system' $work/ro-report.err && ! grep -q 'testing' $work/ro-report.err"

echo "# a stored test length out of range"
printf '[Program]\nlng=1\ntest_time_id=-4\n' >"$XDG_CONFIG_HOME/Korvanel/Korvanel.ini"
"$cli" --drive "$work/ext4" --test access --json >"$work/clamped.json" 2>/dev/null
check "test_time_id -4 runs and stores the quick test" \
  "grep -q '\"test_time\": 0,' $work/clamped.json && grep -q '^test_time_id=0' $XDG_CONFIG_HOME/Korvanel/Korvanel.ini"

echo "# a volume label with control characters"
make_fs label 64 "mkfs.ext4 -L x$(printf '\033')[2Jy"
"$cli" --list >"$work/list-label.txt"
check "--list shows the label's escape character, not the raw one" \
  "grep -qF 'x\x1B[2Jy' $work/list-label.txt && ! grep -q $'\033' $work/list-label.txt"

if command -v xfs_io >/dev/null && make_fs xfs 400 mkfs.xfs; then
  echo "# the file system shuts down during a measured pass"
  "$cli" --drive "$work/xfs" --length 1 --test seq --json --report-file "$work/shutdown.html" \
    >"$work/xfs.json" 2>"$work/xfs.err" &
  pid=$!
  for _ in $(seq 1 1000); do grep -q '^Sequential Read 1/2' "$work/xfs.err" && break; sleep 0.01; done
  sleep 0.5  # live values of the measured pass have been shown
  xfs_io -x -c shutdown "$work/xfs"
  wait $pid
  rc=$?
  check "a shut-down file system fails the run" "[ $rc -eq 1 ] && grep -q '^korvanel-cli: Read Error' $work/xfs.err"
  check "the failed pass's live rate is not reported as measured" \
    "! awk -v v=\"\$(json_value $work/xfs.json SR)\" 'BEGIN { exit !(v > 0) }'"
  check "no report for the failed run" "[ ! -e $work/shutdown.html ]"
  check "the test file it could not remove is named" \
    "grep -q \"^korvanel-cli: Could not remove $work/xfs/Korvanel[0-9A-F]*/Korvanel[0-9A-F]*\.tmp$\" $work/xfs.err"
else
  echo "# xfs shutdown skipped: mkfs.xfs or xfs_io missing"
fi

echo "# a lazy unmount during a pass"
make_fs lazy 400 mkfs.ext4
lazy_loop=${loops[-1]}
"$cli" --drive "$work/lazy" --length 0 --test seq >/dev/null 2>"$work/lazy.err" &
pid=$!
for _ in $(seq 1 1000); do grep -q '^Sequential Read 1/1' "$work/lazy.err" && break; sleep 0.01; done
umount -l "$work/lazy"
wait $pid
rc=$?
mount "$lazy_loop" "$work/lazy"
check "the run goes on after a lazy unmount (exit $rc)" "[ $rc -eq 0 ]"
check "and removes its files from the detached file system" "[ $(leftovers "$work/lazy") -eq 0 ]"

echo "# what a killed run left is named when space runs short"
make_fs killed 200 mkfs.ext4
"$cli" --drive "$work/killed" --length 0 --test seq >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 2000); do
  file=$(find "$work/killed" -name 'Korvanel*.tmp' 2>/dev/null | head -1)
  [ -n "$file" ] && [ "$(stat -c %s "$file" 2>/dev/null || echo 0)" -ge $((80 << 20)) ] && break
  sleep 0.005
done
kill -KILL $pid
wait $pid 2>/dev/null
left=$(find "$work/killed" -mindepth 1 -maxdepth 1 -name 'Korvanel*' | head -1)
"$cli" --drive "$work/killed" --length 0 --test seq >/dev/null 2>"$work/killed.err"
rc=$?
check "the next run says the disk is full and where the killed run's directory is" \
  "[ $rc -eq 1 ] && grep -q 'Disk is Full' $work/killed.err && grep -q \"^Left by an earlier run? $left holds [0-9]* MiB\" $work/killed.err"
check "what the killed run left is not removed unasked" "[ -n \"$left\" ] && [ -d \"$left\" ]"

echo "# a settings file that is no regular file"
mkdir -p "$work/dir-config/Korvanel/Korvanel.ini"
XDG_CONFIG_HOME=$work/dir-config "$cli" --languages >/dev/null 2>"$work/dir-config.err"
rc=$?
check "a directory as settings file is reported, not fatal (exit $rc)" \
  "[ $rc -eq 0 ] && grep -q 'Korvanel.ini: not a regular file (the defaults are used' $work/dir-config.err"

echo "# bad options"
"$cli" --length 9 >/dev/null 2>"$work/usage.err"
rc=$?
check "bad option exits 2 with a usage line" "[ $rc -eq 2 ] && grep -q '^usage: korvanel-cli' $work/usage.err"
"$cli" --drive "$work/missing" >/dev/null 2>&1
check "missing drive directory exits 2" "[ $? -eq 2 ]"

echo "$failures failed"
[ $failures -eq 0 ]
