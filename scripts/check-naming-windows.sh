#!/usr/bin/env bash
# Checks the naming rules of .clang-tidy on the Windows front end (win32/), from the
# cross build's compile commands. clang-tidy is told the MinGW-w64 target and where the
# posix thread model's C++ headers are, which it does not find by itself.
# Usage: check-naming-windows.sh BUILD_DIR   (a configured build-windows folder)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
headers=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++ | sort -V | tail -1)
run-clang-tidy -p "$build" -j "$(nproc)" -quiet \
  -extra-arg=--target=x86_64-w64-mingw32 \
  -extra-arg=-isystem"$headers" -extra-arg=-isystem"$headers/x86_64-w64-mingw32" \
  "^$root/win32/.*\.cpp\$" > "$build/naming-check.log" 2>&1 || {
  grep -E 'warning:|error:' "$build/naming-check.log" | sort -u
  echo "Naming check failed; see $build/naming-check.log" >&2
  exit 1
}
echo "Naming check of win32/ passed."
