#!/usr/bin/env bash
# Builds the benchmarks in Release and runs each of them, passing the
# arguments on (for example --benchmark_format=json or --benchmark_filter=X).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >/dev/null
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DLUMEVRA_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

status=0
for bench in build-release/bin/bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench") =="
  "$bench" "$@" || status=1
done
exit $status
