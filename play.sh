#!/usr/bin/env bash
# Builds the game (installing what it needs) and starts it from the build folder.
set -euo pipefail
cd "$(dirname "$0")"
. tools/setup.sh
cd build
exec ./solverica "$@"
