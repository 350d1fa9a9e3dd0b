#!/usr/bin/env bash
# with_xvfb.sh COMMAND [ARGS...]: runs COMMAND with an X server of its own (Xvfb, on the display it
# picks itself), named in DISPLAY and, for Windows programs run by wine_run.sh, in
# KORVANEL_WINE_DISPLAY; the server ends with the command. Exits 77 when Xvfb is not installed.
set -uo pipefail
command -v Xvfb >/dev/null || { echo "Xvfb is not installed (Debian package xvfb): skipped"; exit 77; }
display_file=$(mktemp)
exec 7>"$display_file"
# -noreset: by default the server resets whenever its last client leaves, and a client that
# connects in that moment is turned away ("could not connect to display"). Tests start one program
# as the one before ends, so they would meet that now and then.
Xvfb -displayfd 7 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
exec 7>&-
trap 'kill "$xvfb_pid" 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "with_xvfb.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")" KORVANEL_WINE_DISPLAY=":$(head -n1 "$display_file")"
"$@"
