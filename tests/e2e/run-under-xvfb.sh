#!/usr/bin/env bash
# Runs the end-to-end tests against the built program on a private X display with a window
# manager and a session bus (which also carries the accessibility bus), and removes all of it
# afterwards. Usage: run-under-xvfb.sh PATH-TO-QUORVIN [unittest options]
# Exit code 77 (reported by CTest as skipped) only where Xvfb cannot start.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
executable=$(realpath "$1")
shift

# shellcheck source-path=SCRIPTDIR source=../../scripts/xvfb-session.sh
source "$here/../../scripts/xvfb-session.sh"
scratch=$(mktemp -d)
trap 'xvfb_session_stop; rm -rf "$scratch"' EXIT
trap 'exit 130' INT TERM

if ! xvfb_session_start "$scratch"; then
    echo "e2e: skipped, Xvfb cannot start here"
    exit 77
fi

# The accessibility bindings come with Debian's own Python, not with one a developer may have
# put first on the PATH.
python=/usr/bin/python3
[ -x "$python" ] || python=python3

cd "$here"
# pyatspi calls libatspi functions that warn of their deprecation on every use.
dbus-run-session -- "$python" -B -W ignore::DeprecationWarning test_desktop.py "$executable" "$@"
