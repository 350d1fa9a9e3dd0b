#!/usr/bin/env bash
# windows_panel_test.sh WINE_RUN PREFIX KORVANEL_EXE PANEL_DRIVER_EXE KORVANEL_CLI_EXE VERSION: the real
# korvanel.exe under Wine on an X server of its own (run by scripts/with_xvfb.sh, which names it in
# KORVANEL_WINE_DISPLAY), driven by panel_driver.exe with window messages: the set-up texts in
# English and German through the language menu, a translation written and loaded, a single test, a
# stopped and a full quick run on drive T: (a tmpfs when root can mount one), the results copied, the
# picture saved and sent to paint, every command of the menus, and Escape during a run (4660,
# nothing left); and the program file's manifest and version. The shell is asked to start nothing:
# the program records what it would start (KORVANEL_RECORD_LAUNCHES) and this script reads it.
set -uo pipefail
wine_run=$1 prefix=$2 korvanel=$3 driver=$4 cli=$5 version=$6
failures=0
check() { if eval "$2"; then echo "ok   - $1"; else echo "FAIL - $1"; failures=$((failures + 1)); fi; }

work=$(mktemp -d /tmp/korvanel-wine-panel-XXXXXX)
mounted=
user_name=${USER:-$(id -un)}
settings_dir="$prefix/drive_c/users/$user_name/AppData/Roaming/Korvanel"
cleanup() {
  rm -f "$prefix/dosdevices/t:"
  # Other tests of this prefix expect the default settings.
  rm -f "$settings_dir/Korvanel.ini"
  [ -n "$mounted" ] && umount "$work/t" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

[ -n "${KORVANEL_WINE_DISPLAY:-}" ] || { echo "no X server: run me through scripts/with_xvfb.sh" >&2; exit 1; }

# Drive T: is mapped while no Wine server runs for the prefix; it reads the drive letters at start.
mkdir -p "$work/t"
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=256m tmpfs "$work/t"; then mounted=1; fi
"$wine_run" "$prefix" "$cli" --help >/dev/null 2>&1  # makes the prefix when it is new
"$wine_run" "$prefix" --wait-idle
ln -sfn "$work/t" "$prefix/dosdevices/t:"
drive=$("$wine_run" "$prefix" "$cli" --list 2>/dev/null | tr -d '\r' | sed -n 's/^\([0-9]*\): T:.*/\1/p')
check "the drive list has T:" "[ -n '$drive' ]"
[ -n "$drive" ] || { echo "0 passed, $failures failed"; exit 1; }

# English to begin with, whatever the machine's language.
mkdir -p "$settings_dir"
printf '[Program]\r\nlng=1\r\n' >"$settings_dir/Korvanel.ini"
windows_work="Z:$(printf '%s' "$work" | tr / '\\')"
export KORVANEL_RECORD_LAUNCHES="$windows_work\\launches.txt"
drive_() {
  "$wine_run" "$prefix" "$driver" "$@" 2>&1 | tr -d '\r' | tee -a "$work/driver.log"
  local status=${PIPESTATUS[0]}
  [ "$status" -eq 0 ] || echo "FAIL - panel_driver $1 exited with $status" | tee -a "$work/driver.log"
}

echo "# the program file: manifest and version information"
drive_ resources "$korvanel" "$version"
check "the driver's checks of the program file pass" "! grep -q '^FAIL' '$work/driver.log'"

echo "# set-up texts, the language menu and the volume labels"
: >"$work/driver.log"
drive_ texts "$korvanel"
check "the driver's checks of the texts pass" "! grep -q '^FAIL' '$work/driver.log'"
check "the language went back to English (lng=1) and the volume labels are hidden" \
  "tr -d '\r' <'$settings_dir/Korvanel.ini' | grep -qx 'lng=1' && tr -d '\r' <'$settings_dir/Korvanel.ini' | grep -qx 'no_vol_label=1'"

echo "# a single test and a full quick run on T:, the pictures and the menus' commands"
: >"$work/driver.log"
drive_ run "$korvanel" "$drive" "$windows_work\\panel"
check "the driver's checks of the runs pass" "! grep -q '^FAIL' '$work/driver.log'"
check "nothing left on T:" "[ -z \"\$(ls -A '$work/t')\" ]"
size=$(sed -n 's/^panel_size=//p' "$work/driver.log")
launches="$work/launches.txt"
tr -d '\r' <"$launches" >"$work/launches.unix" 2>/dev/null; launches="$work/launches.unix"
cat "$launches"
png_check() {  # png_check FILE: "WIDTHxHEIGHT COLOURS" of a PNG, read by Python's zlib
  python3 - "$1" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
assert data[:8] == b'\x89PNG\r\n\x1a\n'
pos, idat, width, height = 8, b'', 0, 0
while pos < len(data):
    length, kind = struct.unpack('>I4s', data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b'IHDR': width, height = struct.unpack('>II', body[:8])
    if kind == b'IDAT': idat += body
    pos += 12 + length
print(f"{width}x{height} {len(set(zlib.decompress(idat)))}")
PY
}
saved="$work/panel.png"
check "the picture was saved with .png added" "[ -f '$saved' ]"
if [ -f "$saved" ]; then
  read -r saved_size saved_bytes <<<"$(png_check "$saved")"
  check "the saved picture is the panel's size ($saved_size, the panel $size)" "[ '$saved_size' = '$size' ]"
  check "and not blank ($saved_bytes different byte values)" "[ '$saved_bytes' -gt 40 ]"
fi
paint=$(sed -n 's/^open|\(.*Korvanel_tmp\.png\)|.*/\1/p' "$launches" | head -n1)
check "the picture for paint opens (no paint program in Wine: the image viewer)" "[ -n '$paint' ]"
if [ -n "$paint" ]; then
  paint_unix=$("$wine_run" "$prefix" winepath -u "$paint" 2>/dev/null | tr -d '\r')
  read -r paint_size _ <<<"$(png_check "$paint_unix")"
  check "the paint picture is the panel's size too ($paint_size)" "[ '$paint_size' = '$size' ]"
fi
system32='[Cc]:\\[Ww]indows\\[Ss]ystem32'
check "Task Manager from the system directory" "grep -qi '^open|$system32\\\\taskmgr.exe||' '$launches'"
check "the system properties through rundll32 at their fourth tab" \
  "grep -qix 'open|$system32\\\\rundll32.exe|shell32.dll,Control_RunDLL sysdm.cpl,,3||[0-9]*' '$launches'"
check "System Information" "grep -qi '^open|$system32\\\\msinfo32.exe||' '$launches'"
check "the drive optimiser (Wine has no dfrgui.exe: the snap-in) in the profile folder, expanded by the shell" \
  "grep -Eqi '^\\|$system32\\\\dfrg.msc\\|\\|%UserProfile%\\|(1[0-9]*)' '$launches' && \
   [ \$(( \$(sed -n 's/^|.*dfrg.msc.*|\\([0-9]*\\)\$/\\1/p' '$launches') & 0x200 )) -ne 0 ]"
check "Computer Management and Disk Management" \
  "grep -qi '^open|$system32\\\\compmgmt.msc|' '$launches' && grep -qi '^open|$system32\\\\diskmgmt.msc|' '$launches'"
check "Korvanel.ini in its program" "grep -qi '^open|.*\\\\Korvanel\\\\Korvanel.ini|' '$launches'"
check "the FAQ, homepage, donation and thank-you pages" \
  "grep -q '^open|https://[^|]*?seite=faq-Korvanel&faq=0|' '$launches' && grep -q '^open|https://[^|]*?Microsoft/Korvanel|' '$launches' && \
   grep -q '^open|https://[^|]*?paypal&item_name=Freeware Quenlidart Korvanel&Program=Korvanel|' '$launches' && \
   grep -q '^open|https://[^|]*Thanks|' '$launches'"
check "the comparison page after the complete run" "grep -qi '^open|.*korvanel_tmp.html|' '$launches'"

echo "# Escape during a full run"
: >"$work/driver.log"
drive_ escape "$korvanel" "$drive"
check "the driver's checks of Escape pass" "! grep -q '^FAIL' '$work/driver.log'"
check "nothing left on T: after Escape" "[ -z \"\$(ls -A '$work/t')\" ]"

echo "$((failures == 0 ? 1 : 0)) passed, $failures failed"
exit $((failures > 0))
