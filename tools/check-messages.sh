#!/usr/bin/env bash
# Checks that no literal number is passed to the functions that fetch a text
# of the string table: code names its messages (msg::kOpen, or a kMsg...
# constant beside the code that uses it), so that a reader sees which text is
# meant and a search finds every use of one:
#
#   tools/check-messages.sh [SOURCE_DIR]
#
# It reads the code's folders (the tests may compare with a text by its
# number) and fails on a call of one of the functions below whose message
# argument is, or chooses between, literal numbers: GetMessageText(563),
# MessageText(flag ? 12 : 13). Prints one line per fault and exits 1 when
# there is any.
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
cd "$root"

# The functions whose first argument is a message number: the string table's
# own and the wrappers that pass theirs on.
functions='GetMessageText|GetMessageTextColon|GetMessageTextLower|LoadMessage|MessageText|MessageTextColon'
functions+='|Text|Msg|Say|FormatMessageWith|QuotedName|WithName|NumberFieldMessage|AxisName|GraphLabel|AppendLabel'
number='-?[0-9]+[uUlL]*'
# The message argument: a number, or a choice whose arms are numbers.
pattern="\\b($functions)\\(\\s*($number\\s*[,)]|[^(),]*\\?\\s*$number\\s*:|[^(),]*\\?[^(),:]*:\\s*$number\\s*[,)])"

folders=()
for d in platform core import engine dico ui mainwindow scenario output app tools bench resources; do
  [[ -d $d ]] && folders+=("$d")
done
# Candidates first (one grep over the tree), then each without its comments
# and string literals, which hold no call.
faults=$(
  find "${folders[@]}" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) -print0 |
    { xargs -0 grep -HnE "$pattern" || true; } |
    while IFS= read -r hit; do
      code=$(sed -E -e 's@^[^:]*:[0-9]+:@@' -e 's@//.*$@@' -e 's@"([^"\\]|\\.)*"@""@g' <<<"$hit")
      if grep -qE "$pattern" <<<"$code"; then echo "$hit"; fi
    done | sort
)
if [[ -n $faults ]]; then
  echo "check-messages: a message is passed by its number; name it (msg::k... or a kMsg... constant):"
  echo "$faults"
  exit 1
fi
echo "check-messages: no message is passed by its number"
