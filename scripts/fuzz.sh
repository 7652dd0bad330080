#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz/ and runs each for SECONDS
# (default 60), starting from its seeds in fuzz/corpus/<target>/ (the
# package target's are made by make_fuzz_corpus for each run) and what
# earlier runs found (build-fuzz/work/<target>/). A finding is minimised into
# fuzz/crashes/ with a one-line reproduction command, and the script exits 1.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     targets: ini objects package picture project scene wave
# Limits: one allocation above 300 MiB or a process above 2560 MiB is a
# finding (the largest picture we accept, a background, is 256 MiB of
# pixels), as is a single input taking more than 25 s. FUZZ_FLAGS adds
# libFuzzer flags to every run and minimisation, e.g. FUZZ_FLAGS=-seed=1.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

seconds=60
if [[ $# -gt 0 && $1 =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(ini objects package picture project scene wave)

build="$root/build-fuzz"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DLUMEVRA_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" -j "$(nproc)" >/dev/null
# The package's seeds and dictionary hold the stored marker, which no file
# of the repository may: they are made for each run.
generated="$build/generated"
rm -rf "$generated"
mkdir -p "$generated"
"$build/bin/make_fuzz_corpus" --package "$generated" >/dev/null

mkdir -p fuzz/crashes
found=0
printf '%-8s %8s %12s %8s %8s  %s\n' target seconds executions edges features finding
for t in "${targets[@]}"; do
  program="$build/bin/fuzz_$t"
  [ -x "$program" ] || { echo "fuzz.sh: no target $t" >&2; exit 2; }
  work="$build/work/$t"
  mkdir -p "$work"
  dict="fuzz/dict/$t.dict"
  seeds=("fuzz/corpus/$t")
  if [ "$t" = package ]; then
    dict="$generated/package.dict"
    seeds=("$generated/package")
  fi
  log="$build/work/$t.log"
  prefix="fuzz/crashes/$t-"
  status=0
  # shellcheck disable=SC2086 # FUZZ_FLAGS is a list of flags
  "$program" -max_total_time="$seconds" -timeout=25 -malloc_limit_mb=300 -rss_limit_mb=2560 ${FUZZ_FLAGS:-} \
    -dict="$dict" -artifact_prefix="$prefix" -print_final_stats=1 "$work" "${seeds[@]}" >"$log" 2>&1 || status=$?
  # A run that fails on its first input prints no coverage line.
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2 || true)
  ft=$(grep -oE 'ft: [0-9]+' "$log" | tail -1 | cut -d' ' -f2 || true)
  finding=none
  if [ "$status" -ne 0 ]; then
    found=1
    artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
    finding="exit $status, see $log"
    if [ -n "$artifact" ] && [ -f "$artifact" ]; then
      minimised="${artifact}.min"
      # shellcheck disable=SC2086
      "$program" -minimize_crash=1 -runs=20000 -malloc_limit_mb=300 -rss_limit_mb=2560 ${FUZZ_FLAGS:-} \
        -exact_artifact_path="$minimised" "$artifact" >/dev/null 2>&1 || true
      [ -f "$minimised" ] || minimised=$artifact
      finding="reproduce: $program -malloc_limit_mb=300 -rss_limit_mb=2560 ${FUZZ_FLAGS:-} $root/$minimised"
    fi
  fi
  printf '%-8s %8s %12s %8s %8s  %s\n' "$t" "$seconds" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$finding"
done
exit $found
