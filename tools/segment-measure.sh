#!/usr/bin/env bash
# Agreement of the chosen major classes with the Brown tags, per tag group and
# per corpus category: tools/segment-measure.sh [BUILD_DIR] [CORPUS_DIR]
#
# Two figures: the installed matrix (weights counted on the whole corpus,
# so measured on the text it was calibrated on), and a held-out one whose
# matrix is counted on the even-numbered files and measured on the odd ones.
set -euo pipefail
build=${1:-build/default}
corpus=${2:-$(dirname "$0")/../../shared/corpus/brown}
dico="$build/Dico"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== installed matrix, all files"
"$build/tools/segment-measure" --corpus "$corpus" --dico "$dico"

cp "$dico"/englex.lv8 "$dico"/englex.vv8 "$dico"/englex.av8 "$work/"
"$build/dico/quilor-dico-matrix" --corpus "$corpus" --lexicon "$dico/englex.txt" --out "$work/englex.zv8" \
  --files even >/dev/null
echo
echo "== held out: matrix from the even files, measured on the odd files"
"$build/tools/segment-measure" --corpus "$corpus" --dico "$work" --files odd
