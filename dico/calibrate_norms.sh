#!/usr/bin/env bash
# Recomputes the style norms of the English lexicon on the Brown corpus and
# rewrites dico/lists/style_norms.txt, which the dictionary builder writes
# into englex.lv8; then rebuilds the dictionaries and prints the style found
# for each file and each category of the corpus.
#   dico/calibrate_norms.sh [BUILD_DIR] [CORPUS_DIR] [PERCENTILE]
# The norm of a display code is the PERCENTILE-th (default 70) percentile of
# its percentage over the corpus files: a text is over-represented in a code
# when it uses it more than that share of the corpus does.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$(cd "${1:-$root/build/default}" && pwd)
corpus=${2:-$root/../shared/corpus/brown}
percentile=${3:-70}
style=$build/tools/quilor-style
list=$here/lists/style_norms.txt
tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT

cmake --build "$build" --target quilor-style quilor_dictionaries >/dev/null
"$style" --dico "$build/Dico" --corpus "$corpus" --calibrate "$tmp" --percentile "$percentile" --previous "$list"
cp "$tmp" "$list"
cmake --build "$build" --target quilor_dictionaries >/dev/null
"$style" --dico "$build/Dico" --corpus "$corpus"
