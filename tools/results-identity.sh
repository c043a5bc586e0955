#!/usr/bin/env bash
# Records what quilor-dump makes of a set of texts, so that a change meant to
# leave the analysis alone (a faster run) can be checked for identical output:
#
#   tools/results-identity.sh record BUILD_DIR OUT_DIR [STEP]
#   tools/results-identity.sh compare OLD_DIR NEW_DIR
#
# record writes, for every STEP-th file of the Brown corpus as plain text
# (default every file) and for samples/, the results (--results) and the word
# stream of each file alone, then the results of all those Brown files read as
# one text. The corpus is ../shared/corpus/plain beside the source tree, or
# the folder CORPUS names. compare says which outputs differ and exits 1 when
# any does.
set -euo pipefail
mode=${1:?record or compare}
if [[ $mode == compare ]]; then
  old=${2:?old dir}
  new=${3:?new dir}
  differing=$(diff -rq "$old" "$new" || true)
  if [[ -z $differing ]]; then
    echo "identical: $(ls "$old" | wc -l) outputs"
    exit 0
  fi
  echo "$differing" | head -20
  echo "$(echo "$differing" | wc -l) outputs differ"
  exit 1
fi
build=${2:?build dir}
out=${3:?output dir}
step=${4:-1}
here=$(cd "$(dirname "$0")/.." && pwd)
corpus=${CORPUS:-$here/../shared/corpus/plain}
[[ -d $corpus ]] || { echo "results-identity: no corpus at $corpus (set CORPUS)" >&2; exit 2; }
dump=$(cd "$build" && pwd)/tools/quilor-dump
dico=$(cd "$build" && pwd)/Dico
mkdir -p "$out"
# An empty settings folder: every run starts from the default options.
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
export XDG_CONFIG_HOME=$config

files=()
i=0
for f in "$corpus"/c[a-r][0-9][0-9]*; do
  if (( i % step == 0 )); then files+=("$f"); fi
  i=$((i + 1))
done
for f in "$here"/samples/*; do [[ -f $f ]] && files+=("$f"); done

one() {
  local f=$1 name
  name=$(basename "$f")
  "$dump" --dico "$dico" --results "$f" >"$out/$name.results" 2>&1 || echo "exit $?" >>"$out/$name.results"
  "$dump" --dico "$dico" "$f" >"$out/$name.words" 2>&1 || echo "exit $?" >>"$out/$name.words"
}
export -f one
export dump dico out
# The first run in the empty settings folder sets it up (and may ask about
# the default Scenario): done once alone, so that no recorded run sees it.
"$dump" --dico "$dico" "$here/samples/"* >/dev/null 2>&1 || true
printf '%s\n' "${files[@]}" | xargs -P "${JOBS:-4}" -I{} bash -c 'one "$1"' _ {}
brown=()
for f in "${files[@]}"; do [[ $f == "$corpus"/* ]] && brown+=("$f"); done
"$dump" --dico "$dico" --results "${brown[@]}" >"$out/all-brown.results" 2>&1 || echo "exit $?" >>"$out/all-brown.results"
echo "recorded $(ls "$out" | wc -l) outputs in $out"
