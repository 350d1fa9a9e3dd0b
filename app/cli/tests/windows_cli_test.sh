#!/usr/bin/env bash
# windows_cli_test.sh WINE_RUN PREFIX KORVANEL_CLI_EXE CONSOLE_PROBE_EXE: korvanel-cli.exe under Wine
# on drives mapped into the Wine prefix: a full quick run in a directory with a Cyrillic name that
# leaves nothing behind, --report-file paths refused before the run, a read-only drive and a full
# drive with the program's own error texts and what an earlier run left named; its manifest, a
# directory typed with its trailing backslash in cmd.exe, a parent path longer than MAX_PATH, and
# the console's code page and mode put back after a run and after Ctrl+C (in a pseudo-terminal,
# where Wine gives the program a console). Wine is no measuring instrument (it caches "unbuffered"
# files): only the program's behaviour is checked.
set -uo pipefail
wine_run=$1 prefix=$2 cli=$3 probe=$4
failures=0
check() { if eval "$2"; then echo "ok   - $1"; else echo "FAIL - $1"; failures=$((failures + 1)); fi; }
run() { "$wine_run" "$prefix" "$cli" "$@"; }

work=$(mktemp -d /tmp/korvanel-wine-XXXXXX)
mounts=()
cleanup() {
  for m in "${mounts[@]}"; do umount "$m" 2>/dev/null; done
  rm -f "$prefix/dosdevices/k:" "$prefix/dosdevices/r:" "$prefix/dosdevices/f:"
  rm -rf "$work"
}
trap cleanup EXIT
# Drives are mapped while no Wine server runs for the prefix: it reads the drive letters when it starts.
mkdir -p "$work/k/Тест"
"$wine_run" "$prefix" --wait-idle
ln -sfn "$work/k" "$prefix/dosdevices/k:"
run --help >/dev/null 2>&1  # the prefix is made once, before anything is timed

echo "# a quick full run on drive K:, in a directory named in Cyrillic"
run --drive 'K:\Тест' --length 0 --json >"$work/out.json" 2>"$work/err.txt"
status=$?
check "full quick run exits 0" "[ $status -eq 0 ]"
for key in SR SW RR4KB RW4KB RR512KB RW512KB RR4KB64QD RW4KB64QD; do
  check "$key measured" "grep -Eq '\"$key\": *[1-9]' '$work/out.json'"
done
check "the Cyrillic directory reached the program intact" "grep -q 'K:.*Тест' '$work/err.txt'"
check "nothing left behind" "[ -z \"\$(ls -A '$work/k/Тест')\" ] && [ \"\$(ls -A '$work/k')\" = 'Тест' ]"
run --list >"$work/list.txt" 2>/dev/null
check "the drive list shows K:" "grep -q '^[0-9]*: K:' '$work/list.txt'"

echo "# the manifest: paths of any length"
"$wine_run" "$prefix" "$probe" manifest "$cli" >"$work/manifest.xml" 2>/dev/null
check "korvanel-cli.exe carries a manifest that is longPathAware" \
  "grep -q '<longPathAware[^>]*>true</longPathAware>' '$work/manifest.xml'"

echo "# --drive \"K:\\\" typed in cmd.exe, where the backslash before the closing quote escapes it"
windows_cli="Z:$(tr / '\\' <<<"$cli")"
printf '@%s --drive "K:\\" --length 0 --test seq\r\n' "$windows_cli" >"$work/k/quoted.bat"
"$wine_run" "$prefix" cmd.exe /c 'K:\quoted.bat' >/dev/null 2>"$work/err.txt"
status=$?
rm -f "$work/k/quoted.bat"
check "the run takes K:\\ and the options after it" "[ $status -eq 0 ] && grep -q 'testing K:\\\\ ' '$work/err.txt'"

echo "# a test directory under a parent longer than MAX_PATH"
long="$work/k"
long_drive='K:'
for i in $(seq 1 26); do long="$long/directory$i"; long_drive="$long_drive\\directory$i"; done
mkdir -p "$long"
run --drive "$long_drive" --length 0 --test seq >/dev/null 2>"$work/err.txt"
status=$?
check "a run ${#long_drive} characters deep exits 0" "[ $status -eq 0 ]"
check "and leaves nothing there" "[ -z \"\$(ls -A '$long')\" ]"
rm -rf "$work/k/directory1"

echo "# the console as it was: code page and virtual-terminal mode put back"
in_console() {
  printf '#!/bin/sh\nexec "%s" "%s" "%s" "$@"\n' "$wine_run" "$prefix" "$probe" >"$work/probe.sh"
  chmod +x "$work/probe.sh"
  script -qec "$work/probe.sh $*" /dev/null >"$work/console.txt" 2>&1
}
in_console console "'$windows_cli'" --drive "'K:\\Тест'" --length 0 --test seq
status=$?
check "after a run" "[ $status -eq 0 ]"
in_console ctrl-c 6000 "'$windows_cli'" --drive "'K:\\Тест'" --length 1
status=$?
check "after Ctrl+C stopped a run" "[ $status -eq 0 ] && grep -aq 'exit130' <(tr -d ' \r' <'$work/console.txt' | sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g')"
check "which left nothing behind" "[ -z \"\$(ls -A '$work/k/Тест')\" ]"

echo "# --report-file is checked before the run"
run --drive 'K:\Тест' --length 0 --report-file 'K:\nul.html' >/dev/null 2>"$work/err.txt"
status=$?
check "a device name at --report-file is refused before the run" \
  "[ $status -eq 2 ] && grep -q 'not a regular file' '$work/err.txt' && ! grep -q 'testing' '$work/err.txt'"
run --drive 'K:\Тест' --length 0 --report-file 'K:\missing\report.html' >/dev/null 2>"$work/err.txt"
status=$?
check "--report-file into a missing directory fails before the run" \
  "[ $status -eq 2 ] && ! grep -q 'testing' '$work/err.txt'"
check "nothing made on K:" "[ \"\$(ls -A '$work/k')\" = 'Тест' ] && [ -z \"\$(ls -A '$work/k/Тест')\" ]"

if [ "$(id -u)" -eq 0 ]; then
  echo "# a read-only drive R:"
  mkdir -p "$work/r"
  mount -t tmpfs -o ro,size=4m tmpfs "$work/r" && mounts+=("$work/r")
  ln -sfn "$work/r" "$prefix/dosdevices/r:"
  run --drive 'R:\' --length 0 --test seq >/dev/null 2>"$work/err.txt"
  status=$?
  check "read-only drive exits 1" "[ $status -eq 1 ]"
  check "read-only drive shows \"File Create Error\" with the system's reason" \
    "grep -q 'File Create Error' '$work/err.txt' && grep -q '0x000000' '$work/err.txt'"

  echo "# a full drive F: (64 MiB, the test file needs 100), 40 MiB of it left by an earlier run"
  mkdir -p "$work/f"
  mount -t tmpfs -o size=64m tmpfs "$work/f" && mounts+=("$work/f")
  ln -sfn "$work/f" "$prefix/dosdevices/f:"
  mkdir "$work/f/Korvanel0000ABCD"
  head -c $((40 << 20)) /dev/zero >"$work/f/Korvanel0000ABCD/Korvanel0000ABCD.tmp"
  run --drive 'F:\' --length 0 --test seq >/dev/null 2>"$work/err.txt"
  status=$?
  check "full drive exits 1" "[ $status -eq 1 ]"
  check "full drive shows \"Disk is Full\"" "grep -q 'Disk is Full' '$work/err.txt'"
  check "and names what the earlier run left" \
    "grep -qF 'Left by an earlier run? F:\\Korvanel0000ABCD holds 40 MiB' '$work/err.txt'"
  check "which is not removed unasked, and nothing else is left" \
    "[ \"\$(ls -A '$work/f')\" = Korvanel0000ABCD ] && [ -f '$work/f/Korvanel0000ABCD/Korvanel0000ABCD.tmp' ]"
else
  echo "# read-only and full drives need root to mount their file systems: skipped"
fi

echo "$((failures == 0 ? 1 : 0)) passed, $failures failed"
exit $((failures > 0))
