#!/usr/bin/env bash
# Windows programs under Wine on a private X display (Xvfb) with the openbox window manager.
# Sourced by the scripts that drive or picture the Windows program:
#
#   source scripts/wine-session.sh
#   trap wine_session_stop EXIT
#   wine_session_start "$scratch_folder" "$prefix" || exit 77   # 1: Xvfb cannot start here
#   wine_session_run program.exe &                               # runs on the display
#
# or run as a command, for one program that opens windows (a test or a benchmark), or for a
# program of this machine that drives Windows programs in the session (a test script):
#
#   scripts/wine-session.sh PREFIX PROGRAM.exe [ARGUMENTS...]
#   scripts/wine-session.sh PREFIX --host COMMAND [ARGUMENTS...]
#
# The Wine prefix is the caller's, made on first use. Its Wine server and desktop process are
# started once the display is up: Wine's desktop process takes the display of the program that
# starts it, so a server left over from elsewhere could not show windows here. Stopping ends
# the prefix's server with all its programs, then the display.

wine_session_scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source-path=SCRIPTDIR source=xvfb-session.sh
source "$wine_session_scripts/xvfb-session.sh"
wine_session_prefix=

# wine_session_start FOLDER PREFIX: the display in FOLDER, then the prefix's server on it;
# exports DISPLAY, WINEPREFIX and WINEDEBUG. Returns 1 when Xvfb cannot start.
wine_session_start() {
    xvfb_session_start "$1" || return 1
    WINEPREFIX=$(realpath -m "$2")
    WINEDEBUG=-all
    export WINEPREFIX WINEDEBUG
    wine_session_prefix=$WINEPREFIX
    # A server that outlived an earlier session (its script was killed) serves another display.
    "$wine_session_scripts/wine-run.sh" "$WINEPREFIX" --end
    "$wine_session_scripts/wine-run.sh" "$WINEPREFIX" --start
}

# wine_session_run PROGRAM.exe [ARGUMENTS...]: runs a Windows program in the session.
wine_session_run() {
    "$wine_session_scripts/wine-run.sh" "$WINEPREFIX" "$@"
}

# Ends the prefix's server and its programs, then the display; safe to call more than once.
wine_session_stop() {
    if [ -n "$wine_session_prefix" ]; then
        "$wine_session_scripts/wine-run.sh" "$wine_session_prefix" --end
        wine_session_prefix=
    fi
    xvfb_session_stop
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    if [ $# -lt 2 ]; then
        echo "usage: $0 PREFIX PROGRAM [ARGUMENTS...]" >&2
        exit 2
    fi
    wine_session_folder=$(mktemp -d)
    trap 'wine_session_stop; rm -rf "$wine_session_folder"' EXIT
    trap 'exit 130' INT TERM
    if ! wine_session_start "$wine_session_folder" "$1"; then
        echo "$0: skipped, Xvfb cannot start here"
        exit 77
    fi
    shift
    if [ "$1" = --host ]; then
        shift
        "$@"
    else
        wine_session_run "$@"
    fi
fi
