#!/usr/bin/env bash
# Random input for the main window, seed after seed, under Xvfb with a window
# manager (openbox), for a given time:
#   tools/window-monkey.sh [--seconds N] [--seed S] [--build DIR] [FILE...]
# Runs DIR/tools/quilor-monkey (by default build/asan, else build/default) on
# FILE (by default samples/sample.txt) with seeds S, S+1, ... until N seconds
# (default 60) have passed. Stops at the first fault: a crash, a hang of more
# than 10 s, windows that do not close at the end (every question answered No
# or Cancel), a sanitizer report or an unexpected exit code; it then prints the
# seed, the last steps and the report, and exits 1. Prints the seeds it ran.
set -uo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
seed=$(( $(date +%s) % 100000 ))
build=""
files=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    -*) echo "usage: $0 [--seconds N] [--seed S] [--build DIR] [FILE...]" >&2; exit 64 ;;
    *) files+=("$(realpath "$1")"); shift ;;
  esac
done
[ -n "$build" ] || { [ -x "$here/build/asan/tools/quilor-monkey" ] && build="$here/build/asan" || build="$here/build/default"; }
build=$(realpath "$build")
monkey="$build/tools/quilor-monkey"
[ -x "$monkey" ] || { echo "window-monkey: no $monkey (build it first)" >&2; exit 2; }
[ ${#files[@]} -gt 0 ] || files=("$here/samples/sample.txt")
for tool in Xvfb openbox; do
  command -v "$tool" >/dev/null || { echo "window-monkey: $tool is missing (apt-get install xvfb openbox)" >&2; exit 2; }
done

work=$(mktemp -d /tmp/quilor-window-monkey-XXXXXX)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A display of our own: the first free number from 90 on. Two runs started
# together may pick the same one; the server that loses it ends at once (the
# lock file is its own), and that run goes on to the next number.
display=90
xvfb=""
while [ "$display" -lt 400 ]; do
  if [ ! -e "/tmp/.X11-unix/X$display" ] && [ ! -e "/tmp/.X$display-lock" ]; then
    Xvfb ":$display" -screen 0 1600x1000x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
      kill -0 "$xvfb" 2>/dev/null || break
      grep -qx " *$xvfb" "/tmp/.X$display-lock" 2>/dev/null && [ -e "/tmp/.X11-unix/X$display" ] && break
      sleep 0.1
    done
    if kill -0 "$xvfb" 2>/dev/null && grep -qx " *$xvfb" "/tmp/.X$display-lock" 2>/dev/null; then
      pids+=("$xvfb")
      break
    fi
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    xvfb=""
  fi
  display=$((display + 1))
done
[ -n "$xvfb" ] || { echo "window-monkey: no free display from :90 on" >&2; exit 2; }
export DISPLAY=":$display"
unset QT_QPA_PLATFORM
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 0.5

# The program's own folders, fresh: settings, request socket, documents.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
cd "$HOME"

start=$(date +%s)
ran=()
status=0
while :; do
  left=$(( seconds - ($(date +%s) - start) ))
  [ "$left" -gt 0 ] || break
  log="$work/seed-$seed.log"
  ran+=("$seed")
  # The monkey stops itself when its time is up; the timeout is the last resort.
  timeout -s KILL $((left + 60)) "$monkey" --seed "$seed" --seconds "$left" "${files[@]}" >"$log" 2>&1
  code=$?
  report=$(grep -m1 -n -E "ERROR: AddressSanitizer|runtime error:|ERROR: LeakSanitizer|HANG of more" "$log")
  if [ "$code" -ne 0 ] || [ -n "$report" ]; then
    echo "window-monkey: FAULT with seed $seed (exit code $code)"
    echo "-- last steps:"
    grep -E "^step [0-9]+:" "$log" | tail -n 30
    echo "-- report:"
    grep -v -E "^step [0-9]+:" "$log" | grep -A 40 -m1 -E "ERROR: |runtime error:|HANG of more|Aborted|invalid pointer" ||
      grep -v -E "^step [0-9]+:" "$log" | tail -n 40
    kept="${TMPDIR:-/tmp}/window-monkey-fault-$seed.log"
    cp "$log" "$kept" && echo "-- the whole log: $kept"
    echo "to repeat: $0 --seed $seed --seconds $seconds --build $build ${files[*]}"
    status=1
    break
  fi
  steps=$(grep -c -E "^step [0-9]+:" "$log")
  echo "window-monkey: seed $seed: $steps steps, no fault"
  seed=$((seed + 1))
done
echo "window-monkey: seeds run: ${ran[*]}"
exit $status
