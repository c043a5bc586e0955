#!/usr/bin/env bash
# How far a noun's class depends on the other documents of a run, and what
# names and initials become, on the plain Brown news files:
#   tools/context-measure.sh [BUILD_DIR] [PLAIN_DIR]
#
# 1. ca01 analysed alone against ca01 analysed first of the 20 news files
#    ca01..ca20: the share of ca01's noun tokens (words read as substantives
#    that get a class alone) whose class is the same, per level.
# 2. The 20 news files as one text: the person-person relations of each
#    level, and the single capital letters that get a class (an initial that
#    became a unit or an element), by class.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build/default}" && pwd)
plain=${2:-$here/../shared/corpus/plain}
dump=$build/tools/quilor-dump
dico=$build/Dico
work=$(mktemp -d)
config=$(mktemp -d)
trap 'rm -rf "$work" "$config"' EXIT
export XDG_CONFIG_HOME=$config
news=()
for i in $(seq -w 1 20); do news+=("$plain/ca$i.txt"); done

"$dump" --dico "$dico" "${news[0]}" | awk -F'\t' '$2 == 1' >"$work/alone"
"$dump" --dico "$dico" "${news[@]}" | awk -F'\t' '$2 == 1' >"$work/together"
echo "== ca01 alone and ca01 with ca02..ca20: nouns of the same class"
paste "$work/alone" "$work/together" | awk -F'\t' '
  $5 == 8 && $7 != "" {
    n++
    if ($3 != $13) { misaligned++; next }
    for (l = 1; l <= 3; l++) if ($(6 + l) == $(16 + l)) same[l]++
    if ($7 != $17) moved[$3 "\t" $7 " -> " $17]++
  }
  END {
    printf "noun tokens %d (misaligned %d)\n", n, misaligned
    for (l = 1; l <= 3; l++) printf "level %d: %.2f%% the same\n", l, 100 * same[l] / n
    for (k in moved) print moved[k] "\t" k | "sort -rn | head -15"
  }'

"$dump" --dico "$dico" --results "${news[@]}" >"$work/results"
echo
echo "== the 20 news files as one text: person-person relations"
awk -F'\t' '/^# Relations: /{ level = substr($0, 14) } level != "" && /^# / && !/^# Relations/ { level = "" }
  level != "" && $1 == "person" && $2 == "person" { print level ": " $3 }' "$work/results"
echo
echo "== single capital letters with a class (level 1), by class"
"$dump" --dico "$dico" "${news[@]}" | awk -F'\t' '$3 ~ /^[A-Z]$/ && $7 != "" { n++; c[$7]++ }
  END { printf "%d tokens\n", n; for (k in c) print c[k] "\t" k | "sort -rn | head -12" }'
