#!/usr/bin/env bash
# Plays every stage that has a res/dat/map.N.dat, headless, with random input through
# the input path (walking, looking, casting, menus, focus changes) for MINUTES minutes:
#   tools/soak.sh MINUTES [SEED [solverica_soak options, e.g. --stage-frames 600]]
# Uses build/ (or SOAK_BUILD, e.g. build-sanitize/ for sanitizer findings); prints the
# resident memory after each round, GL errors and any sanitizer report, and fails when
# memory grew after the first round, GL errors were seen or a sanitizer spoke.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:?usage: tools/soak.sh MINUTES [SEED]}
seed=${2:-1}
shift $(( $# < 2 ? $# : 2 ))
build=${SOAK_BUILD:-build}
[ -x "$build/solverica_soak" ] || cmake --build "$build" --target solverica_soak
case "$build" in *sanitize*) . tools/sanitize_env.sh ;; esac
export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null
log="$build/soak.log"
seconds=$(awk "BEGIN { print $minutes * 60 }")
status=0
(cd "$build" && ./solverica_soak --seconds "$seconds" --seed "$seed" "$@") >"$log" 2>&1 || status=$?
grep -E "^soak:" "$log" || true
if grep -qE "ERROR: (Address|Leak)Sanitizer|runtime error:" "$log"; then
  echo "soak: sanitizer findings (see $log):"
  grep -E "ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY" "$log" | head -n 20
  status=1
fi
[ "$status" = 0 ] && echo "soak: passed" || echo "soak: FAILED (see $log)"
exit "$status"
