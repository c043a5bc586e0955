#!/usr/bin/env bash
# Checks that every include of the code goes down the floors of the README's
# Layout section, never up:
#
#   tools/check-layering.sh [SOURCE_DIR]
#
# The Layout section lists one folder a line, "- N `folder/` ...", N its floor
# counted from the ground. A file may include its own folder and folders on
# lower floors. It fails on an include of a folder on a higher floor, of
# another folder on the same floor (folders side by side never include each
# other), and of a folder of the tree that the Layout does not place. The
# tests' own includes are not read (they may reach any floor).
# Prints one line per fault and exits 1 when there is any.
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
readme=$root/README.md
[[ -f $readme ]] || { echo "check-layering: no README.md in $root" >&2; exit 2; }

# folder<TAB>floor, from the Layout section.
floors=$(awk '
  /^## / { inside = ($0 == "## Layout"); next }
  inside && match($0, /^- [0-9]+ `[A-Za-z0-9_.-]+\/`/) {
    split(substr($0, 3, RLENGTH - 2), part, " ")
    folder = part[2]; gsub(/[`\/]/, "", folder)
    print folder "\t" part[1]
  }' "$readme")
[[ -n $floors ]] || { echo "check-layering: the README has no Layout section of floors" >&2; exit 2; }

# The folders of the tree that hold code (an include may name one of them).
tree_folders=$(cd "$root" && find . -mindepth 1 -maxdepth 1 -type d ! -name '.*' ! -name build ! -name install \
  -printf '%f\n' | sort)

cd "$root"
faults=$(
  {
    printf '%s\n' "$floors" | sed 's/^/floor\t/'
    printf '%s\n' "$tree_folders" | sed 's/^/folder\t/'
    # Every quoted include of the code: file<TAB>line<TAB>included path.
    find . -path ./tests -prune -o -path ./build -prune -o -path ./install -prune -o -path './.*' -prune -o \
      -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.c' -o -name '*.cc' -o -name '*.cpp' \) -print |
      sed 's@^\./@@' | sort |
      xargs -r grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' |
      sed -E 's/^([^:]+):([0-9]+):[^"]*"([^"]+)".*/include\t\1\t\2\t\3/'
  } | awk -F '\t' '
    $1 == "floor" { floor[$2] = $3; next }
    $1 == "folder" { known[$2] = 1; next }
    $1 == "include" {
      file = $2; n = split(file, a, "/")
      from = (n > 1) ? a[1] : "."
      if (split($4, b, "/") < 2) next          # same folder, or a generated file
      to = b[1]
      if (to == from || !(to in known)) next   # own folder, or not a folder of ours
      where = file ":" $3 ": includes \"" $4 "\": "
      if (!(from in floor)) { print where from "/ has no floor in the Layout"; next }
      if (!(to in floor)) { print where to "/ has no floor in the Layout"; next }
      if (floor[to] > floor[from])
        print where from "/ (floor " floor[from] ") reaches up to " to "/ (floor " floor[to] ")"
      else if (floor[to] == floor[from])
        print where from "/ and " to "/ stand side by side (floor " floor[from] ")"
    }'
)
if [[ -n $faults ]]; then
  printf '%s\n' "$faults"
  echo "check-layering: $(printf '%s\n' "$faults" | wc -l) includes break the Layout"
  exit 1
fi
echo "check-layering: every include goes down the Layout ($(printf '%s\n' "$floors" | wc -l) folders)"
