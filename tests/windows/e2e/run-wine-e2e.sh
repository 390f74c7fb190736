#!/usr/bin/env bash
# Runs the end-to-end script against quorvin.exe under Wine on a private X display with a
# window manager, and ends all of it afterwards, also when a check fails.
# Usage: run-wine-e2e.sh WINE-PREFIX QUORVIN.EXE ACTIVE-WINDOW-TEXTS.EXE [unittest options]
# Exit code 77 (reported by CTest as skipped) only where Xvfb cannot start.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
shift

# shellcheck source-path=SCRIPTDIR source=../../../scripts/wine-session.sh
source "$here/../../../scripts/wine-session.sh"
scratch=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$scratch"' EXIT
trap 'exit 130' INT TERM

if ! wine_session_start "$scratch" "$prefix"; then
    echo "wine e2e: skipped, Xvfb cannot start here"
    exit 77
fi
python3 -B "$here/test_wine_e2e.py" "$@"
