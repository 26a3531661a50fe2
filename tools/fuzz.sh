#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into fuzz-build/ and runs each one:
#   tools/fuzz.sh brief        a short run of every target (what CI does)
#   tools/fuzz.sh RUNS [name]  RUNS executions of every target, or of one
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-brief}
only=${2:-}
CC=clang CXX=clang++ cmake -S . -B fuzz-build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSOLVERICA_FUZZ=ON >/dev/null
targets=$(cat fuzz-build/fuzz_targets.txt)
[ -n "$only" ] && targets=$only
[ -z "$targets" ] && { echo "no fuzz targets"; exit 0; }
cmake --build fuzz-build -j "$(nproc)" --target $targets
for t in $targets; do
  mkdir -p "fuzz-build/corpus/$t"
  if [ "$mode" = brief ]; then
    echo "fuzz: $t (15 s)"
    (cd fuzz-build && ./$t -max_total_time=15 -print_final_stats=1 "corpus/$t" 2>&1 | tail -n 12)
  else
    echo "fuzz: $t ($mode runs)"
    (cd fuzz-build && ./$t -runs="$mode" -print_final_stats=1 "corpus/$t" 2>&1 | tail -n 12)
  fi
done
