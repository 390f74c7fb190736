# shellcheck shell=bash
# Sourced by the scripts that run Quorvin on a private X display (the end-to-end tests and
# `make screenshots`). It starts Xvfb on a free display number and the openbox window manager
# on it, and stops both again.
#
#   source scripts/xvfb-session.sh
#   trap xvfb_session_stop EXIT
#   xvfb_session_start "$scratch_folder" || exit 77   # 1: Xvfb cannot start here
#   dbus-run-session -- some-command                   # runs with DISPLAY set
#
# The window manager reads its stock configuration (a developer's own openbox settings would
# change the keys that the tests press), and each session has its own runtime folder.

xvfb_session_pids=()

# Polls a shell condition every 50 ms for at most $1 seconds; true as soon as it holds.
xvfb_session_wait() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        if [ "$SECONDS" -ge "$deadline" ]; then
            return 1
        fi
        sleep 0.05
    done
}

xvfb_session_display_ready() {
    [ -s "$xvfb_session_folder/display" ] || ! kill -0 "${xvfb_session_pids[0]}" 2>/dev/null
}

xvfb_session_wm_ready() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# xvfb_session_start FOLDER: starts the display and the window manager, exports DISPLAY.
# Returns 1, having started nothing that still runs, when Xvfb cannot start; exits the calling
# script when the window manager does not come up.
xvfb_session_start() {
    xvfb_session_folder=$1
    mkdir -p "$xvfb_session_folder/runtime" "$xvfb_session_folder/config"
    chmod 700 "$xvfb_session_folder/runtime"
    command -v Xvfb >/dev/null || return 1

    # Xvfb picks a free display number itself and writes it to fd 3 once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
        3>"$xvfb_session_folder/display" 2>"$xvfb_session_folder/xvfb.log" &
    xvfb_session_pids=($!)
    if ! xvfb_session_wait 15 xvfb_session_display_ready ||
        [ ! -s "$xvfb_session_folder/display" ]; then
        xvfb_session_stop
        return 1
    fi
    DISPLAY=":$(head -n 1 "$xvfb_session_folder/display")"
    export DISPLAY
    export XDG_RUNTIME_DIR="$xvfb_session_folder/runtime"
    if ! command -v openbox >/dev/null; then
        echo "openbox, the window manager, is missing: scripts/install-deps.sh installs it." >&2
        exit 1
    fi

    XDG_CONFIG_HOME="$xvfb_session_folder/config" openbox --sm-disable \
        >"$xvfb_session_folder/openbox.log" 2>&1 &
    xvfb_session_pids+=($!)
    if ! xvfb_session_wait 15 xvfb_session_wm_ready; then
        echo "The window manager did not start on $DISPLAY:" >&2
        cat "$xvfb_session_folder/openbox.log" >&2
        exit 1
    fi
}

# Stops the window manager, then the display; safe to call more than once.
xvfb_session_stop() {
    local index
    for ((index = ${#xvfb_session_pids[@]} - 1; index >= 0; index--)); do
        kill "${xvfb_session_pids[index]}" 2>/dev/null || true
        wait "${xvfb_session_pids[index]}" 2>/dev/null || true
    done
    xvfb_session_pids=()
}
