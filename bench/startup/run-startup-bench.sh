#!/usr/bin/env bash
# The start-up benchmark: starts the yardstick (a bare window with one label in the
# Song-style font) and Quorvin by turns on a private X display with a window manager and a
# session bus, each time from a fresh folder, and prints the medians and the ratios to the
# yardstick. Usage:
#   run-startup-bench.sh [-n RUNS] PROBE YARDSTICK QUORVIN [OTHER-BUILD...]
# RUNS (default 15) is the number of timed starts of each program, after one untimed start
# of each that fills the caches. Other builds of the program (for example one from before a
# change) are measured in the same rounds and get rows of their own, named by their paths.
# Then each program starts once more under callgrind, which counts the instructions that
# it runs in user space until its first window is shown and it has gone idle: a measure
# that, unlike the times, does not depend on what else the machine is doing.
#
# With -w PREFIX the programs are Windows programs, run under Wine in that prefix, whose
# server runs on the display for the whole benchmark (so that no start pays for starting
# Wine itself); the yardstick is then a bare Win32 window with quorvin.exe's imports and
# manifest. Instead of instructions, which callgrind cannot count under Wine, the CPU time
# to the first drawing is the measure that carries over to Windows.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
runs=15
prefix=
while [ "${1:-}" = -n ] || [ "${1:-}" = -w ]; do
    if [ "$1" = -n ]; then runs=$2; else prefix=$2; fi
    shift 2
done
if [ $# -lt 3 ]; then
    echo "usage: $0 [-n RUNS] [-w WINE-PREFIX] PROBE YARDSTICK QUORVIN [OTHER-BUILD...]" >&2
    exit 2
fi
probe=$(realpath "$1")
shift
programs=()
for program in "$@"; do
    programs+=("$(realpath "$program")")
done
# The targets: Quorvin within this many times the yardstick.
target=1.10
yardstick="yardstick (one label)"
# What starts a program: itself, or Wine's loader in the prefix (the same process).
launcher=

# shellcheck source-path=SCRIPTDIR source=../../scripts/wine-session.sh
source "$here/../../scripts/wine-session.sh"
scratch=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$scratch"' EXIT
trap 'exit 130' INT TERM

if [ -n "$prefix" ]; then
    target=1.30
    yardstick="bare window (same imports)"
    launcher="$here/../../scripts/wine-run.sh $(realpath -m "$prefix")"
    started() { wine_session_start "$scratch" "$prefix"; }
else
    started() { xvfb_session_start "$scratch"; }
fi
if ! started; then
    echo "bench-startup: Xvfb cannot start here" >&2
    exit 1
fi

# start_once INDEX: one start of programs[INDEX] from a fresh folder that holds a copy of
# its executable, so that the settings file and every other file beside it are new.
# Prints "INDEX shown painted cpu rss".
start_once() {
    local executable=${programs[$1]} folder
    folder=$(mktemp -d -p "$scratch")
    cp "$executable" "$folder/"
    # shellcheck disable=SC2086 # the launcher is a command and its argument
    (cd "$folder" && "$probe" $launcher "./$(basename "$executable")") | sed "s/^/$1 /"
    rm -rf "$folder"
}

# Every round starts each program once; the order turns by one place from round to round,
# so that no program always follows the same one.
measure() {
    local count=${#programs[@]} round index
    for ((index = 0; index < count; index++)); do
        start_once "$index" >/dev/null
    done
    for ((round = 0; round < runs; round++)); do
        for ((index = 0; index < count; index++)); do
            start_once $(((index + round) % count))
        done
    done
}

cpu_ns() {
    local run_ns=0
    read -r run_ns _ <"/proc/$1/schedstat" 2>/dev/null || true
    echo "$run_ns"
}

# count_instructions INDEX: prints "INDEX instructions" for one start of programs[INDEX]
# under callgrind, counted once its window is shown and it has used no CPU for a second.
count_instructions() {
    local executable=${programs[$1]} folder pid quiet=0 last now
    folder=$(mktemp -d -p "$scratch")
    cp "$executable" "$folder/"
    (cd "$folder" && exec valgrind --tool=callgrind --callgrind-out-file="$folder/counts" \
        "./$(basename "$executable")") >/dev/null 2>&1 &
    pid=$!
    timeout 120 xdotool search --sync --onlyvisible --pid "$pid" >/dev/null
    last=$(cpu_ns "$pid")
    while ((quiet < 5)); do
        sleep 0.2
        now=$(cpu_ns "$pid")
        if ((now - last < 1000000)); then quiet=$((quiet + 1)); else quiet=0; fi
        last=$now
    done
    callgrind_control --dump "$pid" >/dev/null 2>&1
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    awk -v index_="$1" '/^(summary|totals):/ { print index_, $2; exit }' "$folder/counts.1"
    rm -rf "$folder"
}

count_all() {
    local index
    [ -z "$launcher" ] || return 0
    for ((index = 0; index < ${#programs[@]}; index++)); do
        count_instructions "$index"
    done
}

# The session bus is there as on a desktop; Qt connects to it at start.
export -f start_once measure cpu_ns count_instructions count_all
programs_list=$(printf '%s\n' "${programs[@]}")
export scratch probe runs programs_list launcher
dbus-run-session -- bash -c 'mapfile -t programs <<<"$programs_list"; measure; count_all' \
    2> >(grep -v 'Failed to set fd limit' >&2) >"$scratch/samples"

printf '%s\n' "${programs[@]}" | awk -v runs="$runs" -v target="$target" -v yardstick="$yardstick" '
    function median(index_, column,    values, count, i, j, swap) {
        count = 0
        for (i = 1; i <= rows; i++) {
            if (who[i] == index_) values[++count] = sample[i, column]
        }
        for (i = 2; i <= count; i++) {
            for (j = i; j > 1 && values[j - 1] > values[j]; j--) {
                swap = values[j]; values[j] = values[j - 1]; values[j - 1] = swap
            }
        }
        return count % 2 ? values[(count + 1) / 2] : (values[count / 2] + values[count / 2 + 1]) / 2
    }
    NR == FNR { name[FNR - 1] = FNR == 1 ? yardstick : FNR == 2 ? "Quorvin" : $0; programs = FNR; next }
    NF == 2 { instructions[$1] = $2; counted++; next }
    { rows++; who[rows] = $1; for (c = 2; c <= 5; c++) sample[rows, c] = $c }
    END {
        for (p = 0; p < programs; p++) for (c = 2; c <= 5; c++) m[p, c] = median(p, c)
        printf "Start-up, medians of %d starts of each program, by turns\n\n", runs
        printf "| program | window shown | first drawing | CPU to first drawing | idle resident memory |\n"
        printf "| --- | --- | --- | --- | --- |\n"
        for (p = 0; p < programs; p++) {
            printf "| %s |", name[p]
            for (c = 2; c <= 4; c++) printf " %.1f ms%s |", m[p, c], p ? sprintf(" (%.2fx)", m[p, c] / m[0, c]) : ""
            printf " %.1f MiB%s |\n", m[p, 5] / 1024, p ? sprintf(" (%.2fx)", m[p, 5] / m[0, 5]) : ""
        }
        if (!counted) {
            printf "\n(no instruction count under Wine)\n"
        } else {
        printf "\nUser-space instructions until the first window is shown and idle (callgrind, one start each)\n\n"
        printf "| program | instructions |\n| --- | --- |\n"
        for (p = 0; p < programs; p++) {
            if (!instructions[p]) { printf "| %s | not counted |\n", name[p]; continue }
            printf "| %s | %.1f M%s |\n", name[p], instructions[p] / 1e6, p && instructions[0] ? sprintf(" (%.2fx)", instructions[p] / instructions[0]) : ""
        }
        }
        printf "\nWindow shown within %.2fx of the yardstick: %s\n", target, m[1, 2] / m[0, 2] <= target ? "met" : "NOT met"
        printf "Idle memory within %.2fx of the yardstick: %s\n", target, m[1, 5] / m[0, 5] <= target ? "met" : "NOT met"
    }' - "$scratch/samples"
