#!/usr/bin/env bash
# Builds the game and its tests (installing what they need), checks that every C++ file is
# formatted (tools/format_check.sh), and runs every test headless,
# then two minutes of the soak and a short run of every fuzz target. With SANITIZE=1 (CI
# sets it) the suite runs once more, each test program in one process, built with
# AddressSanitizer, LeakSanitizer and UBSan in build-sanitize/ (its res/ made by the plain
# generator); SOAK_BUILD=build-sanitize tools/soak.sh N soaks that build by hand.
set -euo pipefail
cd "$(dirname "$0")"
WERROR=ON
. tools/setup.sh
tools/format_check.sh
export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null
ctest --test-dir build --output-on-failure -j 2 --timeout 900
tools/soak.sh 2

if [ "${SANITIZE:-0}" = 1 ]; then
  BUILD_DIR=build-sanitize SOLVERICA_CMAKE_ARGS="-DSOLVERICA_SANITIZE=ON" build_game
  (. tools/sanitize_env.sh && ctest --test-dir build-sanitize --output-on-failure -j 2 --timeout 1800)
fi

if [ -x tools/fuzz.sh ]; then
  tools/fuzz.sh brief
fi
