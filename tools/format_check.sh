#!/usr/bin/env bash
# Fails, naming them, when tracked C++ files differ from what clang-format makes of them
# with the repository's .clang-format. `tools/format_check.sh --fix` formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
# One clang-format for every file; each misplaced line is reported as "file:line:col: error".
if ! report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1); then
  echo "Not formatted (tools/format_check.sh --fix formats them):"
  echo "$report" | grep -oE '^[^:]+:[0-9]+:[0-9]+: error' | cut -d: -f1 | sort -u | sed 's/^/  /'
  exit 1
fi
echo "format: ${#files[@]} files formatted"
