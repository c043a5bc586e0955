#!/usr/bin/env bash
# Rewrites dico/lists/excluded_expressions.txt: the WordNet expressions whose
# joining costs agreement with the corpus tags, counted on the even-numbered
# Brown files only, so that the odd-numbered files stay a fair test.
#   dico/exclude_expressions.sh [BUILD_DIR] [CORPUS_DIR]
#
# The lexicon is built without the list (the other rules still apply), its
# dictionary matrix is counted on the even files, and segment-measure reports,
# for each expression it joined there, its scored tokens, how many agree as
# joined and how many would agree with each word's own first reading. An
# expression is listed when its own words agree more often than the joined
# expression does; closed.txt's expressions are never listed. Then the held-out figure (odd files) is printed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(cd "${1:-$root/build/default}" && pwd)
corpus=${2:-$root/../shared/corpus/brown}
lists=$here/lists
out=$lists/excluded_expressions.txt
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

build_dico() {  # lists folder, output folder
  mkdir -p "$2"
  "$build/dico/quilor-dico" --lists "$1" --frequencies "$lists/frequencies.txt" --out "$2" --dump "$2/englex.txt" >/dev/null
  "$build/dico/quilor-dico-matrix" --corpus "$corpus" --lexicon "$2/englex.txt" --out "$2/englex.zv8" --files even >/dev/null
  cp "$build/Dico/englex.sv8" "$2/" 2>/dev/null || true
}

cp -r "$lists" "$tmp/lists"
: > "$tmp/lists/excluded_expressions.txt"
build_dico "$tmp/lists" "$tmp/without"
"$build/tools/segment-measure" --corpus "$corpus" --dico "$tmp/without" --files even --expressions "$tmp/even.tsv" >/dev/null

{
  echo "# WordNet expressions the English lexicon leaves out (one a line)."
  echo "# Written by dico/exclude_expressions.sh; do not edit by hand."
  echo "# Made on the even-numbered files of the Brown sample only: the lexicon built"
  echo "# without this list, the segment buffer and resolver run on those files, and"
  echo "# an expression is listed when, over its scored tokens there, each word's own"
  echo "# first reading agrees with the corpus tag more often than the joined"
  echo "# expression's class does. The odd-numbered files verify it (dico/README.md)."
  echo "# expression  tokens joined own (counts on the even files)"
  # Closed-list expressions are kept whatever they cost; joined numbers are no expressions.
  awk -F'\t' 'NR == FNR { if ($0 !~ /^#/ && split($0, f, /[ \t]+/) && f[1] ~ /_/) closed[f[1]] = 1; next }
    !/^#/ && $4 > $3 && $1 ~ /^[a-z][a-z0-9.\x27-]*_[a-z0-9_.\x27-]*[a-z0-9]$/ && !($1 in closed) {
      printf "%s # %d %d %d\n", $1, $2, $3, $4 }' "$lists/closed.txt" "$tmp/even.tsv" | sort
} > "$out"
echo "$(grep -vc '^#' "$out") expressions written to $out"

build_dico "$lists" "$tmp/with"
echo "== held out (odd files), without the list"
"$build/tools/segment-measure" --corpus "$corpus" --dico "$tmp/without" --files odd | tail -2
echo "== held out (odd files), with the list"
"$build/tools/segment-measure" --corpus "$corpus" --dico "$tmp/with" --files odd | tail -2
