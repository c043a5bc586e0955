#!/usr/bin/env bash
# Runs every fuzz target for a while: tests/fuzz/run_all.sh [SECONDS] [BUILD_DIR]
set -euo pipefail
seconds=${1:-60}
build=${2:-build/fuzz}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for target in "$build"/tests/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue  # not the build's folders (fuzz_*_autogen)
  name=$(basename "$target")
  corpus="$build/fuzz-corpus/$name"
  mkdir -p "$corpus"
  seeds="$here/seeds/${name#fuzz_}"
  args=("$corpus")
  [ -d "$seeds" ] && args+=("$seeds")
  echo "== $name ($seconds s)"
  if ! "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 "${args[@]}" 2>"$build/$name.log"; then
    echo "!! $name failed; see $build/$name.log"
    status=1
  fi
  tail -n 1 "$build/$name.log"
done
exit $status
