#!/usr/bin/env bash
# Builds the benchmarks in Release and runs each of them, passing the
# arguments on (for example --benchmark_filter=X), then prints the ratios
# that mean the same on every machine: each a pair of figures from the same
# run. bench_present needs an X display; without one it runs on Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >/dev/null
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DLUMEVRA_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j "$(nproc 2>/dev/null || echo 2)" >/dev/null

results=build-release/bench-results
rm -rf "$results"
mkdir -p "$results"
status=0
for bench in build-release/bin/bench_*; do
  [ -x "$bench" ] || continue
  name=$(basename "$bench")
  echo "== $name =="
  run=("$bench")
  if [ "$name" = bench_present ] && [ -z "${DISPLAY:-}" ]; then
    run=(xvfb-run -a -s "-screen 0 1920x1080x24" "$bench")
  fi
  "${run[@]}" --benchmark_out="$results/$name.json" --benchmark_out_format=json "$@" || status=1
done

# The JSON reports hold one field a line: "name", then "real_time" and
# "time_unit" of each run; real times in ms.
echo "== ratios (real time, one run each) =="
cat "$results"/*.json 2>/dev/null | awk '
  /"name":/ { name = $0; sub(/.*"name": *"/, "", name); sub(/".*/, "", name); sub(/\/real_time$/, "", name) }
  /"real_time":/ { value = $0; sub(/.*"real_time": */, "", value); sub(/,.*/, "", value) }
  /"time_unit":/ {
    unit = $0; sub(/.*"time_unit": *"/, "", unit); sub(/".*/, "", unit)
    scale = unit == "us" ? 0.001 : (unit == "ns" ? 0.000001 : (unit == "s" ? 1000 : 1))
    if (!(name in t)) t[name] = value * scale  # the first program that has it
  }
  function ratio(a, b, what) {
    if ((a in t) && (b in t) && t[b] > 0) printf "%-52s %8.2f  (%s)\n", a " / " b, t[a] / t[b], what
  }
  END {
    ratio("BM_FrameStep", "BM_FrameStepOneThread", "target <= 0.4 on 2 cores")
    ratio("BM_FrameStep4K", "BM_FrameStep4KOneThread", "target <= 0.4 on 2 cores")
    ratio("BM_FrameStep", "BM_FrameCopyCold", "target <= 5")
    ratio("BM_FrameStep", "BM_FrameCopy", "a copy that stays in the cache")
    ratio("BM_FrameStepOneThreadBuild/1", "BM_FrameStepOneThreadBuild/0", "slanted columns: avx2 against plain")
    ratio("BM_FrameStepOneThreadBuild/2", "BM_FrameStepOneThreadBuild/0", "slanted columns: avx512 against plain")
    ratio("BM_StartUp", "BM_DecodeBackgroundJpeg", "target <= 1.5")
    ratio("BM_PresentSurface", "BM_FrameCopy1080", "the framebuffer against one copy")
    ratio("BM_PresentRenderer", "BM_PresentSurface", "the renderer against the framebuffer")
    ratio("BM_LoadObjects", "BM_ParseObjectsTextOnce", "loading against one parse")
    ratio("BM_FindPackage", "BM_ReadWholeFile", "the search against the read")
  }'
exit $status
