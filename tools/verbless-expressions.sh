#!/usr/bin/env bash
# Propositions left without a verb that hold a joined expression one of whose
# words is a verb form (The cat sleeps: one noun cat_sleeps, no verb):
#   tools/verbless-expressions.sh [BUILD_DIR] [PLAIN_DIR] [--list]
#
# quilor-dump analyses the plain Brown files; a proposition runs from one
# mark "/" to the next. An expression is a word the segment buffer joined
# with "_"; a word of it is a verb form when the lexicon (englex.txt) gives it
# a Verb reading. Prints the propositions counted and the expressions in
# them, most frequent first, with the class the analysis gave them; --list
# prints each proposition too.
set -euo pipefail
build=${1:-build/default}
plain=${2:-$(dirname "$0")/../../shared/corpus/plain}
list=0
[ "${3:-}" = "--list" ] && list=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/tools/quilor-dump" --dico "$build/Dico" "$plain"/*.txt >"$work/dump.txt" 2>"$work/errors.txt"
awk -F'\t' -v list=$list '
  NR == FNR {
    if ($3 ~ /(^|; )verb /) verb[$1] = 1
    next
  }
  function flush() {
    if (words > 0) {
      ++propositions
      if (!hasVerb && found != "") {
        ++counted
        n = split(found, e, "\t")
        for (k = 1; k <= n; ++k) ++expression[e[k]]
        if (list) print "proposition\t" text
      }
    }
    words = 0; hasVerb = 0; found = ""; text = ""
  }
  $3 == "/" { flush(); next }
  {
    ++words
    text = text " " $3
    if ($5 == 1) hasVerb = 1
    if (index($3, "_")) {
      n = split(tolower($3), part, "_")
      for (k = 1; k <= n; ++k)
        if (part[k] in verb) {
          label = $6
          sub(/^>ambiguity< +/, "", label)
          split(label, l, " ")
          found = found (found == "" ? "" : "\t") tolower($3) " (" l[1] ")"
          break
        }
    }
  }
  END {
    flush()
    printf "propositions\t%d\nwithout a verb, holding an expression with a verb form\t%d\n", propositions, counted
    for (x in expression) printf "%d\t%s\n", expression[x], x | "sort -k1,1nr -k2"
  }
' "$build/Dico/englex.txt" "$work/dump.txt"
