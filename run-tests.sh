#!/usr/bin/env bash
# Installs what is missing, checks that every include goes down the README's
# Layout and that the code follows .clang-format, then builds and runs every test in the normal build and the
# address/undefined sanitizer build (by ctest, one test a process, then each
# test program whole) and (threading tests) the thread-sanitizer build.
set -euo pipefail
export QT_QPA_PLATFORM=offscreen
cd "$(dirname "$0")"
./setup.sh --deps
echo "== layering"
tools/check-layering.sh
echo "== format"
tools/check-format.sh
jobs=$(nproc)
for preset in default asan; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset tests"
  ctest --preset "$preset" -j "$jobs"
  # ctest runs one test a process; each program also runs whole, so that a
  # test that passes only alone (state left by another) fails here.
  echo "== $preset test programs whole"
  for program in quilor_tests quilor_ui_tests; do
    "build/$preset/tests/$program" --gtest_brief=1
  done
done
echo "== random input for the window (60 s, address sanitizer)"
# From a fixed seed, so that a run fails on a change and not on the draw;
# tools/window-monkey.sh without --seed explores new seeds.
tools/window-monkey.sh --seconds 60 --seed 2000 --build build/asan
echo "== tsan build (threading tests)"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs" --target quilor_tests
# The tests that run more than one thread: their names say Thread, ReadAhead,
# Pipe (the lookup pipeline), FirstPass, Parallel or Cancel (a stop from
# another thread).
TSAN_OPTIONS="halt_on_error=1" build/tsan/tests/quilor_tests \
  --gtest_filter='*Thread*:*ReadAhead*:*Pipe*:*FirstPass*:*Parallel*:*Cancel*'
