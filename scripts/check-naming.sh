#!/usr/bin/env bash
# Checks the naming rules of .clang-tidy on the program's sources (not the tests).
# Usage: check-naming.sh BUILD_DIR   (a configured build with compile_commands.json)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
folders='core|readout|document|editor|settings|widgets|pictures|app|forms|program'
run-clang-tidy -p "$build" -j "$(nproc)" -quiet "^$root/($folders)/[^/]*\.cpp\$" \
  > "$build/naming-check.log" 2>&1 || {
  grep -E 'warning:|error:' "$build/naming-check.log" | sort -u
  echo "Naming check failed; see $build/naming-check.log" >&2
  exit 1
}
echo "Naming check passed."
