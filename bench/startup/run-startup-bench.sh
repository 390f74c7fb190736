#!/usr/bin/env bash
# The start-up benchmark: starts Quorvin and the yardstick (a bare window with one label in
# the Song-style font) by turns on a private X display with a window manager and a session
# bus, each time from a fresh folder, and prints the medians and the ratios to the
# yardstick. Usage:
#   run-startup-bench.sh QUORVIN YARDSTICK PROBE [RUNS]
# RUNS (default 15) is the number of timed starts of each program, after one untimed start
# of each that fills the caches.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
quorvin=$(realpath "$1")
yardstick=$(realpath "$2")
probe=$(realpath "$3")
runs=${4:-15}
# The targets: Quorvin within this many times the yardstick.
target=1.10

# shellcheck source-path=SCRIPTDIR source=../../scripts/xvfb-session.sh
source "$here/../../scripts/xvfb-session.sh"
scratch=$(mktemp -d)
trap 'xvfb_session_stop; rm -rf "$scratch"' EXIT
trap 'exit 130' INT TERM

if ! xvfb_session_start "$scratch"; then
    echo "bench-startup: Xvfb cannot start here" >&2
    exit 1
fi

# start_once NAME EXECUTABLE: one start from a fresh folder that holds a copy of the
# executable, so that the settings file and every other file beside it are new.
# Prints "NAME shown painted cpu rss".
start_once() {
    local folder
    folder=$(mktemp -d -p "$scratch")
    cp "$2" "$folder/"
    (cd "$folder" && "$probe" "./$(basename "$2")") | sed "s/^/$1 /"
    rm -rf "$folder"
}

measure() {
    start_once quorvin "$quorvin" >/dev/null
    start_once yardstick "$yardstick" >/dev/null
    local run
    for ((run = 0; run < runs; run++)); do
        # Each program starts first in every other round.
        if ((run % 2 == 0)); then
            start_once quorvin "$quorvin"
            start_once yardstick "$yardstick"
        else
            start_once yardstick "$yardstick"
            start_once quorvin "$quorvin"
        fi
    done
}

export -f start_once measure
export scratch probe quorvin yardstick runs
dbus-run-session -- bash -c measure >"$scratch/samples"

awk -v runs="$runs" -v target="$target" '
    function median(name, column,    values, count, i, j, swap) {
        count = 0
        for (i = 1; i <= rows; i++) {
            if (who[i] == name) values[++count] = sample[i, column]
        }
        for (i = 2; i <= count; i++) {
            for (j = i; j > 1 && values[j - 1] > values[j]; j--) {
                swap = values[j]; values[j] = values[j - 1]; values[j - 1] = swap
            }
        }
        return count % 2 ? values[(count + 1) / 2] : (values[count / 2] + values[count / 2 + 1]) / 2
    }
    { rows++; who[rows] = $1; for (c = 2; c <= 5; c++) sample[rows, c] = $c }
    END {
        for (c = 2; c <= 5; c++) { q[c] = median("quorvin", c); y[c] = median("yardstick", c) }
        printf "Start-up, medians of %d alternated starts each\n\n", runs
        printf "| program | window shown | first drawing | CPU to first drawing | idle resident memory |\n"
        printf "| --- | --- | --- | --- | --- |\n"
        printf "| yardstick (one label) | %.1f ms | %.1f ms | %.1f ms | %.1f MiB |\n", y[2], y[3], y[4], y[5] / 1024
        printf "| Quorvin | %.1f ms | %.1f ms | %.1f ms | %.1f MiB |\n", q[2], q[3], q[4], q[5] / 1024
        printf "| ratio | %.2f | %.2f | %.2f | %.2f |\n\n", q[2] / y[2], q[3] / y[3], q[4] / y[4], q[5] / y[5]
        printf "Window shown within %.2fx: %s\n", target, q[2] / y[2] <= target ? "met" : "NOT met"
        printf "Idle memory within %.2fx: %s\n", target, q[5] / y[5] <= target ? "met" : "NOT met"
    }' "$scratch/samples"
