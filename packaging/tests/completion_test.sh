#!/usr/bin/env bash
# completion_test.sh COMPLETION KORVANEL_CLI
# The bash completion offers what korvanel-cli takes: every option its --help names and no other,
# the values of --test and --length, the program's own language numbers, directories for --drive
# (names with blanks too) and files for the file options, after a blank and after "=".
set -euo pipefail
completion=$1 cli=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config
mkdir -p "$HOME"

# shellcheck source=/dev/null
source "$completion"
compopt() { :; }  # only bash's own completion machinery may call the builtin

failures=0
# expect DESCRIPTION EXPECTED WORD...: completes the last WORD after the others; EXPECTED holds
# the offers in any order, blank-separated, or one per line when it has a line break.
expect() {
  local description=$1 expected=$2
  shift 2
  COMP_WORDS=("$cli" "$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _korvanel_cli
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' '|')
  [[ $expected == *$'\n'* ]] || expected=$(tr -s ' ' '\n' <<<"$expected")
  expected=$(sort <<<"$expected" | sed '/^$/d' | tr '\n' '|')
  if [ "$got" != "$expected" ]; then
    echo "FAIL $description: expected [$expected], got [$got]"
    failures=$((failures + 1))
  fi
}

help_options=$("$cli" --help | grep -o -- '--[a-z][a-z-]*' | sort -u | tr '\n' ' ')
expect "options, from --help" "$help_options" --
expect "options after a run option" "--length --lang --languages --list --load-translation" --json --l
test_names=$("$cli" --help | sed -n 's/.*\[--test \([a-z0-9|]*\)\].*/\1/p' | tr '|' ' ')
expect "test names, from --help" "$test_names" --test ""
expect "test names after =" "seq" --test = s
expect "lengths" "0 1 2 3" --length ""
languages=$("$cli" --languages | awk '{ sub(/^\*/, ""); print $1 }' | tr '\n' ' ')
[ "$(wc -w <<<"$languages")" -eq 21 ] || { echo "FAIL --languages lists: $languages"; failures=$((failures + 1)); }
expect "language numbers" "$languages" --lang ""

mkdir -p "$scratch/drives/my disk" "$scratch/drives/mnt"
touch "$scratch/drives/notes.txt"
cd "$scratch/drives"
expect "directories for --drive" $'mnt\nmy disk' --drive ""
expect "directories after --drive=" $'my disk\n' --drive = my
expect "files for --report-file" $'mnt\nmy disk\nnotes.txt' --report-file ""
expect "files for --load-translation" "notes.txt" --json --load-translation n

if [ "$failures" -ne 0 ]; then
  echo "$failures completion checks failed"
  exit 1
fi
echo "completion: all checks passed"
