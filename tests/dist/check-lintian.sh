#!/usr/bin/env bash
# Makes the .deb of a built tree in a scratch folder and has lintian check it: any error or
# warning fails (information tags are shown, and pass).
# Usage: check-lintian.sh BUILD_DIR   (exit 77 when lintian is missing)
set -euo pipefail
build=${1:?build folder}
command -v lintian >/dev/null || { echo "lintian is missing"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
package=$(ls "$scratch"/quorvin_*.deb)
tags=$(lintian --tag-display-limit 0 -I "$package" 2>&1 | grep -v 'running with root privileges' || true)
echo "${tags:-lintian: no tags}"
! grep -qE '^[EW]: ' <<<"$tags"
