#!/usr/bin/env bash
# Takes the pictures of the README: starts the built program on a private X display with a
# window manager, opens the main window, Help > Phone, Help > About, Register and, from it, the
# QQ dialog in turn, and saves each window with its frame to docs/screenshots/.
# Given quorvin.exe, it does the same for the Windows program under Wine, into
# docs/screenshots/windows/, in a Wine prefix of its own beside the executable's folder.
# Usage: screenshots.sh [PATH-TO-QUORVIN]   (default: build/program/quorvin)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
executable=$(realpath "${1:-$root/build/program/quorvin}")
pictures="$root/docs/screenshots"

# shellcheck source-path=SCRIPTDIR source=wine-session.sh
source "$root/scripts/wine-session.sh"
scratch=$(mktemp -d)
program=
stop_all() {
    if [ -n "$program" ]; then
        kill "$program" 2>/dev/null || true
        wait "$program" 2>/dev/null || true
    fi
    wine_session_stop
    rm -rf "$scratch"
}
trap stop_all EXIT
trap 'exit 130' INT TERM

# The Windows program is pictured as a Chinese Windows shows it: the user's language is
# Simplified Chinese (code page 936), so that Wine draws the Chinese texts of the menus, the
# status bar and the "MS Sans Serif" labels with a Chinese font, as Windows does. The locale
# is compiled into the scratch folder where the machine has not generated it.
use_chinese_locale() {
    mkdir "$scratch/locales"
    localedef -i zh_CN -f UTF-8 "$scratch/locales/zh_CN.UTF-8" >/dev/null 2>&1 ||
        [ -e "$scratch/locales/zh_CN.UTF-8/LC_CTYPE" ]
    export LOCPATH="$scratch/locales" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
}

# A copy of the program keeps its settings file in the scratch folder, not beside the build.
mkdir "$scratch/program"
if [[ "$executable" == *.exe ]]; then
    pictures="$pictures/windows"
    use_chinese_locale
    if ! wine_session_start "$scratch/display" "$(dirname "$executable")/../wine-prefix-pictures"; then
        echo "screenshots: Xvfb cannot start here" >&2
        exit 1
    fi
    cp "$executable" "$scratch/program/quorvin.exe"
    wine_session_run "$scratch/program/quorvin.exe" >"$scratch/program.log" 2>&1 &
else
    if ! xvfb_session_start "$scratch/display"; then
        echo "screenshots: Xvfb cannot start here" >&2
        exit 1
    fi
    cp "$executable" "$scratch/program/quorvin"
    QT_QPA_PLATFORM=xcb "$scratch/program/quorvin" >"$scratch/program.log" 2>&1 &
fi
program=$!

active_window() {
    xdotool getactivewindow 2>/dev/null || true
}

# Waits until a shown window other than the given ones is active and prints its id.
wait_for_other_window() {
    local deadline=$((SECONDS + 10)) window
    while [ "$SECONDS" -lt "$deadline" ]; do
        window=$(active_window)
        if [ -n "$window" ] && [[ " $* " != *" $window "* ]] &&
            xwininfo -id "$window" | grep -q IsViewable; then
            echo "$window"
            return 0
        fi
        sleep 0.05
    done
    echo "screenshots: no new window became active" >&2
    return 1
}

wait_for_active() {
    local window=$1 deadline=$((SECONDS + 10))
    until [ "$(active_window)" = "$window" ]; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "screenshots: window $window did not become active again" >&2
            return 1
        fi
        sleep 0.05
    done
}

# Saves window $1 with its frame to $2, once two pictures in a row are the same (drawn).
capture() {
    local window=$1 file="$pictures/$2" deadline=$((SECONDS + 10))
    local x y width height left right top bottom
    eval "$(xwininfo -id "$window" | sed -n \
        -e 's/^ *Absolute upper-left X: *\(-*[0-9]*\)/x=\1/p' \
        -e 's/^ *Absolute upper-left Y: *\(-*[0-9]*\)/y=\1/p' \
        -e 's/^ *Width: *\([0-9]*\)/width=\1/p' -e 's/^ *Height: *\([0-9]*\)/height=\1/p')"
    read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS |
        sed 's/.*= *//; s/,//g')
    local crop="$((width + left + right))x$((height + top + bottom))+$((x - left))+$((y - top))"
    local previous="$scratch/previous.png" current="$scratch/current.png"
    import -silent -window root -crop "$crop" +repage -strip \
        -define png:exclude-chunks=date,time "$previous"
    while :; do
        import -silent -window root -crop "$crop" +repage -strip \
            -define png:exclude-chunks=date,time "$current"
        if cmp -s "$previous" "$current"; then
            mv "$current" "$file"
            echo "saved $file ($crop, title \"$(xdotool getwindowname "$window")\")"
            return 0
        fi
        if [ "$SECONDS" -ge "$deadline" ]; then
            echo "screenshots: $2 kept changing" >&2
            return 1
        fi
        mv "$current" "$previous"
    done
}

mkdir -p "$pictures"
main=$(wait_for_other_window)
capture "$main" main-window.png

# Each dialog opens with the focus on its closing button, so Enter closes it.
xdotool key alt+h p
phone=$(wait_for_other_window "$main")
capture "$phone" phone.png
xdotool key Return
wait_for_active "$main"

xdotool key alt+h a
about=$(wait_for_other_window "$main")
capture "$about" about.png
xdotool key Return
wait_for_active "$main"

xdotool key alt+r
support=$(wait_for_other_window "$main")
capture "$support" support.png
# The QQ button: 8, 336 (345 x 25) in the group box at 512, 0 of the support dialog.
xdotool mousemove --window "$support" 692 348 click 1
qq=$(wait_for_other_window "$support")
capture "$qq" qq.png
xdotool key Return
wait_for_active "$support"

# Closing the support dialog brings the plain "OK!" box; then the main window ends the run.
xdotool key alt+F4
wait_for_other_window "$support" "$main" >/dev/null
xdotool key Return
wait_for_active "$main"
xdotool key alt+F4
wait "$program"
program=
