#!/usr/bin/env bash
# Makes the Windows program's icons (app/win32/icons/*.ico) from the SVGs in ui/icons, the one
# drawing of each icon. Run it after changing ui/icons/korvanel.svg or emblem-favorite.svg and
# commit the result; the build uses the committed files. Needs librsvg2-bin and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# make_icon SVG ICO SIZE...: one image per size, each rendered from the drawing at that size.
make_icon() {
  local svg=$1 ico=$2
  shift 2
  local pngs=()
  for size in "$@"; do
    rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio "$svg" -o "$work/$size.png"
    pngs+=("$work/$size.png")
  done
  convert "${pngs[@]}" "$ico"
  rm -f "${pngs[@]}"
}

# The program: window and taskbar icons from 16 to 256 pixels, for every DPI up to 200 %.
make_icon ui/icons/korvanel.svg app/win32/icons/korvanel.ico 16 20 24 32 40 48 64 96 128 256
# The "Donate" button: a small icon at 100 % to 200 %.
make_icon ui/icons/emblem-favorite.svg app/win32/icons/donate.ico 16 20 24 32
