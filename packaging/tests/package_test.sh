#!/usr/bin/env bash
# package_test.sh build BUILD_DIR PACKAGE_DIR
#   makes the Debian package of BUILD_DIR into PACKAGE_DIR with CPack.
# package_test.sh lintian|metadata|manuals|installed BUILD_DIR PACKAGE_DIR VERSION
#   checks that package: Debian's lintian finds no error; the desktop entry and the AppStream
#   metainfo validate; the manual pages render without a warning and name every option; the
#   programs run from a root the package was unpacked into, with the libraries it depends on.
set -euo pipefail
check=$1 build_dir=$2 package_dir=$3 version=${4:-}

if [ "$check" = build ]; then
  rm -rf "$package_dir"
  mkdir -p "$package_dir"
  cpack --config "$build_dir/CPackConfig.cmake" -B "$package_dir"
  exit 0
fi

deb=$package_dir/korvanel_${version}_amd64.deb
if [ ! -f "$deb" ]; then
  echo "no package $deb (korvanel_package_build makes it):" >&2
  ls "$package_dir" >&2 || true
  exit 1
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg-deb -x "$deb" "$root"
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_RUNTIME_DIR=$scratch/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

check_lintian() {
  # Errors fail; warnings and notes are shown. Where one is kept on purpose, the override file in
  # packaging/debian/ says why.
  lintian --fail-on error --display-info --tag-display-limit 0 "$deb"
  echo "lintian: no errors in $(basename "$deb")"
}

check_metadata() {
  desktop-file-validate "$root/usr/share/applications/korvanel.desktop"
  # --no-net: the screenshot and home page are not fetched; validation fails on errors and warnings.
  appstreamcli validate --no-net --explain "$root"/usr/share/metainfo/*.metainfo.xml
  local metainfo_version
  metainfo_version=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$root"/usr/share/metainfo/*.metainfo.xml | head -1)
  [ "$metainfo_version" = "$version" ] || fail "the metainfo's newest release is '$metainfo_version', not $version"
}

# render PAGE: the page as man shows it, on stdout; any warning of man or groff fails.
render() {
  local warnings=$scratch/warnings
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$1" 2>"$warnings"
  [ ! -s "$warnings" ] || fail "$(basename "$1") renders with warnings: $(cat "$warnings")"
}

check_manuals() {
  local man1=$root/usr/share/man/man1 page text
  # The CLI's page comes last: its text is checked for the options below.
  for page in korvanel korvanel-cli; do
    [ -f "$man1/$page.1.gz" ] || fail "no manual page $page(1) in the package"
    text=$(render "$man1/$page.1.gz")
    grep -q "^NAME" <<<"$text" || fail "$page(1) has no NAME section"
    grep -q "Korvanel $version" <<<"$text" || fail "$page(1) does not name version $version"
  done
  local option
  for option in $("$root/usr/bin/korvanel-cli" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -q -- "$option" <<<"$text" || fail "korvanel-cli(1) does not describe $option"
  done
  echo "manual pages render without warnings and describe every option"
}

# catches_sigterm PID: whether the process has its own handler for SIGTERM yet.
catches_sigterm() {
  local caught
  caught=$(awk '/^SigCgt:/ { print $2 }' "/proc/$1/status" 2>/dev/null) || return 1
  [ -n "$caught" ] && (((16#$caught >> 14) & 1))
}

check_installed() {
  local field
  field=$(dpkg-deb --field "$deb" Version)
  [ "$field" = "$version" ] || fail "package version '$field', not $version"
  field=$(dpkg-deb --field "$deb" Depends)
  echo "Depends: $field"
  # Computed by dpkg-shlibdeps from what the programs link, never listed by hand.
  local library
  for library in libc6 libstdc++6 libqt6widgets6 liburing2 libaio1 libblkid1; do
    grep -q "\b$library\b" <<<"$field" || fail "Depends lacks $library"
  done
  for file in usr/bin/korvanel usr/bin/korvanel-cli usr/share/applications/korvanel.desktop \
      usr/share/icons/hicolor/scalable/apps/korvanel.svg usr/share/bash-completion/completions/korvanel-cli \
      usr/share/doc/korvanel/copyright usr/share/doc/korvanel/changelog.gz; do
    [ -f "$root/$file" ] || fail "the package lacks /$file"
  done

  field=$("$root/usr/bin/korvanel-cli" --version)
  [ "$field" = "Korvanel $version" ] || fail "korvanel-cli --version printed '$field'"
  local listing
  listing=$("$root/usr/bin/korvanel-cli" --list) || fail "korvanel-cli --list failed"
  grep -q "^0: /" <<<"$listing" || fail "korvanel-cli --list shows no drive: $listing"
  [ ! -e "$XDG_CONFIG_HOME/Korvanel" ] || fail "korvanel-cli --list wrote settings"

  # The panel starts on Qt's offscreen platform and ends on a polite kill as it does on Escape.
  QT_QPA_PLATFORM=offscreen "$root/usr/bin/korvanel" >"$scratch/panel.log" 2>&1 &
  local panel=$! status=0 waited=0
  until catches_sigterm "$panel"; do
    kill -0 "$panel" 2>/dev/null || { cat "$scratch/panel.log"; fail "the panel ended by itself"; }
    ((waited++ < 300)) || { kill -KILL "$panel"; fail "the panel did not take over SIGTERM in 30 s"; }
    sleep 0.1
  done
  kill -TERM "$panel"
  wait "$panel" || status=$?
  [ "$status" -eq 0 ] || { cat "$scratch/panel.log"; fail "the panel ended with $status on SIGTERM"; }
  echo "korvanel-cli --version, --list and the panel run from the unpacked package"
}

case $check in
  lintian) check_lintian ;;
  metadata) check_metadata ;;
  manuals) check_manuals ;;
  installed) check_installed ;;
  *) fail "unknown check $check" ;;
esac
