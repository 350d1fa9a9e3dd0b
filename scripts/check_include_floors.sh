#!/usr/bin/env bash
# check_include_floors.sh [SOURCE_DIR]: fails on any #include "folder/..." that points up the floors
# below, and prints each such include with its file:line and both folders.
#
# Every folder of code sits on a floor and includes only from its own folder and the floors below.
# Folders on one line sit beside each other and never include each other: one system's code never
# reaches into another's, and one view or program never into another. A subfolder belongs to the
# longest folder named here that holds it (lang/tools is lang). A folder missing here fails the
# check, so a new one is given its place on purpose.
#
# Beyond the floors: a tests/ or fuzz/ folder may include anything up to the highest floor of the
# folder it sits in (drives/tests reaches drives/linux), and nothing else includes from it; code in
# a linux/ folder never includes from a windows/ or win32/ one, nor the other way round.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

floors='
common
platform
platform/linux platform/windows
settings
lang
lang/tools
engine
results
drives
drives/linux drives/windows
export
ui/panel
ui/qt ui/win32
app/cli app/qt app/win32
bench
'

# The sources: what git knows of in a checkout, otherwise every file outside the build trees.
list_sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp' |
      while read -r file; do [ ! -f "$file" ] || echo "$file"; done
  else
    find . \( -name '.*' -o -name 'build*' \) -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) -print |
      sed 's|^\./||'
  fi
}

# Each quoted include that names a folder, as "file<TAB>line<TAB>included path".
list_includes() {
  # shellcheck disable=SC2016  # the awk program's $0 is awk's own
  list_sources | tr '\n' '\0' | xargs -0 awk '
    /^[ \t]*#[ \t]*include[ \t]*"[^"\/]+\// {
      path = substr($0, index($0, "\"") + 1)
      print FILENAME "\t" FNR "\t" substr(path, 1, index(path, "\"") - 1)
    }'
}

list_includes | awk -F '\t' -v floors="$floors" '
  BEGIN {
    lines = split(floors, rows, "\n")
    for (i = 1; i <= lines; i++) {
      n = split(rows[i], names, " ")
      if (n == 0) continue
      floor++
      for (j = 1; j <= n; j++) floor_of[names[j]] = floor
    }
  }
  # The longest folder of the table that holds path, or "" when none does.
  function folder_of(path,   parts, n, k, candidate, i) {
    n = split(path, parts, "/")
    for (k = n - 1; k >= 1; k--) {
      candidate = parts[1]
      for (i = 2; i <= k; i++) candidate = candidate "/" parts[i]
      if (candidate in floor_of) return candidate
    }
    return ""
  }
  # The directory of path up to the tests/ or fuzz/ in it, or "" when it has none.
  function tested_folder(path,   parts, n, i, prefix) {
    n = split(path, parts, "/")
    prefix = ""
    for (i = 1; i < n; i++) {
      if (parts[i] == "tests" || parts[i] == "fuzz") return prefix
      prefix = prefix == "" ? parts[i] : prefix "/" parts[i]
    }
    return ""
  }
  # The highest floor of the folders at or under dir.
  function highest_floor_under(dir,   name, holder, best) {
    holder = folder_of(dir "/x")
    best = holder == "" ? 0 : floor_of[holder]
    for (name in floor_of)
      if (index(name "/", dir "/") == 1 && floor_of[name] > best) best = floor_of[name]
    return best
  }
  function system_of(path) {
    if (path ~ /(^|\/)linux\//) return "linux"
    if (path ~ /(^|\/)(windows|win32)\//) return "windows"
    return ""
  }
  function fail(file, line, text) {
    printf "%s:%s: %s\n", file, line, text
    failures++
  }
  {
    file = $1; line = $2; included = $3
    to = tested_folder(included)
    if (to == "") to = folder_of(included)
    if (tested_folder(included) != "") to_floor = highest_floor_under(to)
    else to_floor = to == "" ? 0 : floor_of[to]
    if (to_floor == 0) {
      fail(file, line, "includes " included ", whose folder has no floor in scripts/check_include_floors.sh")
      next
    }
    if (system_of(file) != "" && system_of(included) != "" && system_of(file) != system_of(included)) {
      fail(file, line, "includes " included ": code for " system_of(file) " includes from " to ", code for " system_of(included))
      next
    }
    tested = tested_folder(file)
    if (tested != "") {
      top = highest_floor_under(tested)
      if (top == 0)
        fail(file, line, "the folder " tested " has no floor in scripts/check_include_floors.sh")
      else if (to_floor > top)
        fail(file, line, "includes " included ": the tests of " tested " include from " to ", a floor above " tested)
      next
    }
    from = folder_of(file)
    if (from == "") {
      fail(file, line, "the folder of " file " has no floor in scripts/check_include_floors.sh")
      next
    }
    if (tested_folder(included) != "") {
      fail(file, line, "includes " included ": only tests include from a tests/ or fuzz/ folder")
      next
    }
    if (from == to) next
    if (floor_of[to] > floor_of[from])
      fail(file, line, "includes " included ": " from " (floor " floor_of[from] ") includes from " to " (floor " floor_of[to] "), which points up")
    else if (floor_of[to] == floor_of[from])
      fail(file, line, "includes " included ": " from " includes from " to ", which sits beside it on floor " floor_of[to])
  }
  END {
    if (failures) {
      printf "%d include(s) break the floors (scripts/check_include_floors.sh)\n", failures
      exit 1
    }
  }
'

# A folder named in the table that no longer exists is a stale line.
for folder in $floors; do
  if [ ! -d "$folder" ]; then
    echo "scripts/check_include_floors.sh names $folder, which does not exist"
    exit 1
  fi
done
echo "Every include keeps to the floors."
