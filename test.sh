#!/usr/bin/env bash
# Builds the game and its tests (installing what they need) and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
WERROR=ON
. tools/setup.sh
export SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null
ctest --test-dir build --output-on-failure -j 2 --timeout 900
if [ -x tools/fuzz.sh ]; then
  tools/fuzz.sh brief
fi
