#!/usr/bin/env bash
# Without a display the program says so in one line on standard error and fails.
# Usage: check-no-display.sh PATH-TO-QUORVIN
set -uo pipefail
executable=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0

expect_clear_failure() {
    local case=$1
    shift
    local code
    env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY "$@" "$executable" 2>"$scratch/stderr" >/dev/null
    code=$?
    local lines
    lines=$(wc -l <"$scratch/stderr")
    if [ "$code" -eq 0 ] || [ "$code" -ge 128 ] || [ "$lines" -ne 1 ] ||
        ! grep -q "no display" "$scratch/stderr"; then
        echo "FAIL $case: exit code $code, standard error:" >&2
        cat "$scratch/stderr" >&2
        status=1
    else
        echo "ok   $case: exit code $code, $(cat "$scratch/stderr")"
    fi
}

expect_clear_failure "DISPLAY unset" -u DISPLAY
# A display number that no server serves.
expect_clear_failure "DISPLAY names no server" DISPLAY=:9876
exit $status
