#!/usr/bin/env bash
# setup.sh [--sets "SET..."] [--build all|none|TARGET...]
# Installs what is missing of the Debian package sets named (scripts/deps.txt; default: all sets),
# as root or through sudo, then configures ./build and builds there: the TARGETs, or all of it with
# the tests and warnings as errors, or nothing. Says how long each phase took.
set -euo pipefail
cd "$(dirname "$0")/.."

sets=all
build=(all)
while (($#)); do
  case $1 in
    --sets) sets=$2; shift 2 ;;
    --build) shift; build=("$@"); break ;;
    *) echo "usage: scripts/setup.sh [--sets \"SET...\"] [--build all|none|TARGET...]" >&2; exit 2 ;;
  esac
done

# The packages of the sets named, from scripts/deps.txt.
wanted_packages() {
  awk -v sets=" $sets " '
    /^\[.*\]$/ { set = substr($0, 2, length($0) - 2); known[set] = 1; next }
    /^[ \t]*(#|$)/ { next }
    sets == " all " || index(sets, " " set " ") { print $1 }
    END {
      n = split(sets, named, " ")
      for (i = 1; i <= n; i++) if (named[i] != "all" && !(named[i] in known)) {
        print "scripts/deps.txt has no set [" named[i] "]" > "/dev/stderr"; exit 1
      }
    }' scripts/deps.txt
}

install_packages() {
  local wanted installed missing=() pkg
  wanted=$(wanted_packages) || return 1
  # shellcheck disable=SC2086
  installed=$(dpkg-query -W -f='${Package} ${Status}\n' $wanted 2>/dev/null | awk '/ install ok installed$/ { print $1 }')
  for pkg in $wanted; do
    grep -qx "$pkg" <<<"$installed" || missing+=("$pkg")
  done
  if ((${#missing[@]} == 0)); then
    echo "Debian packages ($sets): all installed"
    return
  fi
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "Missing packages: ${missing[*]}; install them as root." >&2
      exit 1
    fi
    sudo=(sudo)
  fi
  echo "Installing ${#missing[@]} Debian packages ($sets): ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

configure() {
  local options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
  if [ "${build[*]}" = all ]; then
    options+=(-DKORVANEL_BUILD_TESTS=ON -DKORVANEL_WERROR=ON)
  elif [ ! -f build/CMakeCache.txt ]; then
    options+=(-DKORVANEL_BUILD_TESTS=OFF)  # only the programs: the tests' packages may be missing
  fi
  scripts/configure.sh build "${options[@]}"
}

compile() {
  if [ "${build[*]}" = all ]; then
    cmake --build build -j"$(nproc)"
  else
    cmake --build build -j"$(nproc)" --target "${build[@]}"
  fi
}

source scripts/phase.sh
started=$(date +%s)
phase "Debian packages" install_packages
if [ "${build[*]}" != none ]; then
  phase "Configuring" configure
  phase "Building ${build[*]}" compile
fi
echo "Set-up took $(phase_duration $(($(date +%s) - started))): $(IFS=,; echo "${phase_times[*]}" | sed 's/,/, /g')"
