#!/usr/bin/env bash
# Checks that every C and C++ file git tracks follows .clang-format:
#   tools/check-format.sh          (lists the files that do not, exits 1)
# Format one with: clang-format -i --style=file FILE
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "check-format: clang-format is missing (apt-get install clang-format)" >&2; exit 2; }
bad=$(git ls-files '*.cpp' '*.h' '*.c' | xargs -P "$(nproc)" -n 40 \
        sh -c 'for f; do clang-format --style=file "$f" | cmp -s - "$f" || echo "$f"; done' sh)
if [ -n "$bad" ]; then
  echo "check-format: these files do not follow .clang-format:"
  echo "$bad"
  exit 1
fi
echo "check-format: $(git ls-files '*.cpp' '*.h' '*.c' | wc -l) files follow .clang-format"
