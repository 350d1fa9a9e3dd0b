#!/usr/bin/env bash
# wine_run.sh PREFIX PROGRAM.exe [ARGS...]: runs a Windows program under Wine, headless and quiet,
# in a Wine prefix of its own (made once, by the first caller; later callers wait for it).
# wine_run.sh PREFIX --wait-idle: waits until the prefix's Wine server has ended by itself (it reads
# the drive letters only when it starts).
set -euo pipefail
prefix=$1
shift

export WINEPREFIX=$prefix
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko installers: nothing here needs .NET or an HTML engine, and they would try to download.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# A window test names the X server it started for its programs.
if [ -n "${KORVANEL_WINE_DISPLAY:-}" ]; then export DISPLAY=$KORVANEL_WINE_DISPLAY; fi

wine=${KORVANEL_WINE:-}
if [ -z "$wine" ]; then
  for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then wine=$candidate; break; fi
  done
fi
if [ -z "$wine" ]; then
  echo "wine_run.sh: Wine is not installed (Debian package wine64)" >&2
  exit 127
fi
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo wineserver)

if [ "${1:-}" = "--wait-idle" ]; then
  exec "$wineserver" -w
fi

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/.korvanel-ready" ]; then
    rm -rf "$prefix"
    "$wine" wineboot --init >/dev/null 2>&1 || true
    "$wineserver" -w
    touch "$prefix/.korvanel-ready"
  fi
) 9>"$prefix.lock"

# The server stays 10 s after the last program, so the next test does not start it anew; then it
# ends by itself. Wine's own background programs (services, device manager) are started here with
# quiet streams: started by the program itself they would hold its output pipe open for seconds
# after it ended, and every test would wait for them.
"$wineserver" -p10 </dev/null >/dev/null 2>&1 || true
"$wine" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true
exec "$wine" "$@"
