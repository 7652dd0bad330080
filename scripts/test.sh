#!/usr/bin/env bash
# The test command: set-up, then the unit tests twice, once in a plain build
# and once under AddressSanitizer + UndefinedBehaviorSanitizer, both on a
# virtual X display so that the desktop tests run too; then the programs
# whose code runs on several threads (objects, engine, window logic) under
# ThreadSanitizer; a smoke run of every fuzz target (its seeds replayed,
# then 10 s of fuzzing each); the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)

run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  cmake --build "$dir" -j "$jobs"
  # A display of our own; no sound card is needed (the mixer falls back to
  # a silent driver).
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== plain build =="
run_suite build

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build-asan -DLUMEVRA_SANITIZE=address,undefined

echo "== ThreadSanitizer build (objects, engine, window logic) =="
unset ASAN_OPTIONS UBSAN_OPTIONS
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMEVRA_SANITIZE=thread
cmake --build build-tsan -j "$jobs" --target objects_tests engine_tests ui_tests
build-tsan/bin/objects_tests
build-tsan/bin/engine_tests
build-tsan/bin/ui_tests

echo "== Fuzz smoke: every parser's target replays its seeds and fuzzes for 10 s =="
unset TSAN_OPTIONS
bash scripts/fuzz.sh 10

echo "== Windows build (MinGW-w64), tested under Wine =="
# A failing Windows build fails the run; only a machine that cannot install
# the toolchain (exit code 3) skips the leg.
windows=0
bash scripts/build-windows.sh || windows=$?
if [ "$windows" -eq 3 ]; then
  echo "************************************************************************"
  echo "WARNING: THE WINDOWS LEG IS SKIPPED: the MinGW-w64 toolchain, Wine or the"
  echo "dependencies' sources cannot be installed on this machine."
  echo "************************************************************************"
elif [ "$windows" -ne 0 ]; then
  echo "The Windows build failed (scripts/build-windows.sh exit $windows)" >&2
  exit "$windows"
else
  bash scripts/test-windows.sh
fi
