#!/usr/bin/env bash
# Measures the English lexicon on the Brown corpus and prints a short report:
# build time, coverage and first-reading agreement (all files, and held out:
# frequencies from the even-numbered files, measured on the odd-numbered ones).
#   dico/measure.sh [BUILD_DIR] [CORPUS_DIR]
#   dico/measure.sh --frequencies [BUILD_DIR] [CORPUS_DIR]   also rewrites dico/lists/frequencies.txt
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
rewrite=0
if [ "${1:-}" = "--frequencies" ]; then rewrite=1; shift; fi
build=$(cd "${1:-$root/build/default}" && pwd)
corpus=${2:-$root/../shared/corpus/brown}
dico=$build/dico/quilor-dico
measure=$build/tools/dico-measure
lists=$here/lists
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# The lexicon without frequencies tells which words are ambiguous.
mkdir -p "$tmp/plain" "$tmp/heldout" "$tmp/full"
"$dico" --lists "$lists" --out "$tmp/plain" --dump "$tmp/plain/englex.txt" >/dev/null
"$measure" --corpus "$corpus" --lexicon "$tmp/plain/englex.lv8" --files even --frequencies-out "$tmp/even.txt" >/dev/null
if [ $rewrite = 1 ]; then
  "$measure" --corpus "$corpus" --lexicon "$tmp/plain/englex.lv8" --frequencies-out "$lists/frequencies.txt" >/dev/null
fi

# Same inputs, same bytes.
mkdir -p "$tmp/again"
"$dico" --lists "$lists" --frequencies "$lists/frequencies.txt" --out "$tmp/again" >/dev/null
start=$(date +%s.%N)
"$dico" --lists "$lists" --frequencies "$lists/frequencies.txt" --out "$tmp/full" --dump "$tmp/full/englex.txt" >/dev/null
end=$(date +%s.%N)
"$dico" --lists "$lists" --frequencies "$tmp/even.txt" --out "$tmp/heldout" --dump "$tmp/heldout/englex.txt" >/dev/null

same=yes
for f in englex.lv8 englex.vv8 englex.av8; do cmp -s "$tmp/full/$f" "$tmp/again/$f" || same=no; done
echo "== English dictionaries: build $(echo "$end - $start" | bc) s; two builds give the same bytes: $same"
ls -l "$tmp/full" | awk 'NR > 1 { printf "   %-14s %10d bytes\n", $9, $5 }'
echo "== Without frequencies (WordNet sense counts only), all files"
"$measure" --corpus "$corpus" --lexicon "$tmp/plain/englex.lv8" | sed -n '3,4p'
echo "== Held out: frequencies from the even-numbered files, measured on the odd-numbered files"
"$measure" --corpus "$corpus" --lexicon "$tmp/heldout/englex.lv8" --files odd | sed -n '2,4p'
echo "== Installed lexicon (frequencies from all files), all files"
"$measure" --corpus "$corpus" --lexicon "$tmp/full/englex.lv8"
echo "== Installed lexicon, a preposition token accepting no connector for a word with a preposition reading (--strict)"
"$measure" --corpus "$corpus" --lexicon "$tmp/full/englex.lv8" --strict | sed -n '4p'
echo "== Installed lexicon, expressions joined first (as the segment buffer does), all files"
"$measure" --corpus "$corpus" --lexicon "$tmp/full/englex.lv8" --join | sed -n '3,12p'
