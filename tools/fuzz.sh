#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into fuzz-build/ and runs each one, one at a
# time, from the committed seeds (tests/fuzz/<reader>/seeds or corpus) and the reader's
# dictionary (tests/fuzz/<reader>/*.dict) where it has one:
#   tools/fuzz.sh brief                a short run of every target (what CI does)
#   tools/fuzz.sh long [SECONDS] [name] SECONDS (default 1200) of every target, or of one
#   tools/fuzz.sh RUNS [name]           RUNS executions of every target, or of one
# What a run finds lands in fuzz-build/findings/<target>/, its log in fuzz-build/logs/;
# the corpus it grows stays in fuzz-build/corpus/<target>/ for the next run. A target
# that fails (a finding) makes the script fail at the end, after the others have run.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-brief}
seconds=5
only=${2:-}
if [ "$mode" = long ]; then
  seconds=${2:-1200}
  only=${3:-}
fi
CC=clang CXX=clang++ cmake -S . -B fuzz-build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSOLVERICA_FUZZ=ON >/dev/null
targets=$(cat fuzz-build/fuzz_targets.txt)
[ -n "$only" ] && targets=$only
[ -z "$targets" ] && { echo "no fuzz targets"; exit 0; }
cmake --build fuzz-build -j "$(nproc)" --target $targets

failed=0
for t in $targets; do
  source_dir="tests/fuzz/${t%_fuzz}"
  mkdir -p "fuzz-build/corpus/$t" "fuzz-build/findings/$t"
  inputs=("corpus/$t")
  for seeds in "$source_dir/seeds" "$source_dir/corpus"; do
    [ -d "$seeds" ] && inputs+=("$PWD/$seeds")
  done
  options=(-print_final_stats=1 -artifact_prefix="findings/$t/")
  for dict in "$source_dir"/*.dict; do
    [ -f "$dict" ] && options+=(-dict="$PWD/$dict")
  done
  if [ "$mode" = brief ] || [ "$mode" = long ]; then
    echo "fuzz: $t ($seconds s)"
    options+=(-max_total_time="$seconds")
  else
    echo "fuzz: $t ($mode runs)"
    options+=(-runs="$mode")
  fi
  # The whole output stays in fuzz-build/logs/; the summary shows the last coverage line,
  # the totals and anything the sanitizers or the target reported.
  mkdir -p fuzz-build/logs
  (cd fuzz-build && ./$t "${options[@]}" "${inputs[@]}" >"logs/$t.log" 2>&1) || { echo "fuzz: $t FAILED"; failed=1; }
  grep -E "^#[0-9]+[[:space:]]+(DONE|INITED)|^Done|^stat::(number_of_executed_units|new_units_added|peak_rss_mb)|ERROR|SUMMARY|Test unit written" \
    "fuzz-build/logs/$t.log" | tail -n 8
done
exit $failed
