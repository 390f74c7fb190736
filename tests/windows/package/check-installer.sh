#!/usr/bin/env bash
# Installs Quorvin with its installer under Wine, as a user who cannot write to the program
# folder, and uninstalls it again:
#   check-installer.sh INSTALLER.exe SCRIPTS-FOLDER
# - the silent installer (/S) puts the program, its help file, the uninstaller, the
#   Start-menu entry and the entry in the list of programs in place;
# - the installed program, its folder read-only as Program Files is for a plain user, keeps
#   its setting in %APPDATA%\Quorvin\quorvin.ini;
# - the silent uninstaller removes what was installed and leaves that setting alone.
# Each run has a Wine prefix and an X display of its own. Run as root (as CI does), it runs
# itself again as the user nobody, for whom a folder without write permission is one.
# Exit code 77: no X display can be started here.
set -euo pipefail

installer=$(realpath "$1")
scripts=$(realpath "$2")
nobody=65534

if [ "$(id -u)" -eq 0 ]; then
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    mkdir "$scratch/tools"
    cp "$0" "$installer" "$scripts/wine-run.sh" "$scripts/xvfb-session.sh" "$scratch/tools/"
    chown -R "$nobody:$nobody" "$scratch"
    status=0
    setpriv --reuid="$nobody" --regid="$nobody" --clear-groups \
        env HOME="$scratch" TMPDIR="$scratch" \
        bash "$scratch/tools/$(basename "$0")" "$scratch/tools/$(basename "$installer")" \
        "$scratch/tools" || status=$?
    exit "$status"
fi

scratch=$(mktemp -d)
export WINEPREFIX="$scratch/prefix"
wine_run="$scripts/wine-run.sh"
# shellcheck source-path=SCRIPTDIR source=../../../scripts/xvfb-session.sh
source "$scripts/xvfb-session.sh"
finish() {
    "$wine_run" "$WINEPREFIX" --end
    xvfb_session_stop
    chmod -R u+w "$scratch" 2>/dev/null || true
    rm -rf "$scratch"
}
trap finish EXIT
if ! xvfb_session_start "$scratch/display"; then
    echo "SKIP: Xvfb cannot start here"
    exit 77
fi

failures=0
check() {
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what" >&2
        failures=$((failures + 1))
    fi
}

# Polls a condition for at most $1 seconds.
within() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

drive="$WINEPREFIX/drive_c"
program_dir="$drive/Program Files/Quorvin"
start_menu_entry="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Quorvin.lnk"
user_settings="$drive/users/$(id -un)/AppData/Roaming/Quorvin/quorvin.ini"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvin'

"$wine_run" "$WINEPREFIX" --start
"$wine_run" "$WINEPREFIX" "$installer" /S
for file in quorvin.exe quorvin.chm uninstall.exe; do
    check "the installer puts $file into Program Files\\Quorvin" test -f "$program_dir/$file"
done
check "the installer adds the Start-menu entry" test -f "$start_menu_entry"
listed() {
    "$wine_run" "$WINEPREFIX" reg query "$uninstall_key" /v QuietUninstallString 2>/dev/null |
        grep -q 'uninstall.exe" /S'
}
check "the installer adds Quorvin to the list of programs" listed

# The installed program, started and closed as a user who cannot write to its folder.
chmod a-w "$program_dir"
"$wine_run" "$WINEPREFIX" 'C:\Program Files\Quorvin\quorvin.exe' &
program=$!
main_window_shown() {
    xdotool search --onlyvisible --name '^Quorvin$' >/dev/null 2>&1
}
check "the installed program shows its main window" within 30 main_window_shown
"$wine_run" "$WINEPREFIX" taskkill /im quorvin.exe >/dev/null 2>&1 || true
program_ended() { ! kill -0 "$program" 2>/dev/null; }
check "the installed program ends when its window is closed" within 30 program_ended
wait "$program" || true
setting_kept() { tr -d '\r' <"$user_settings" | grep -qx 'bChinese=1'; }
check "the setting is kept in %APPDATA%\\Quorvin\\quorvin.ini" setting_kept
check "nothing is written into the program folder" test ! -e "$program_dir/quorvin.ini"
chmod u+w "$program_dir"

# The uninstaller copies itself out of the folder and removes it from there, after it has
# returned: so the test waits for the folder to go.
"$wine_run" "$WINEPREFIX" 'C:\Program Files\Quorvin\uninstall.exe' /S
program_folder_gone() { [ ! -e "$program_dir" ]; }
check "the uninstaller removes the program folder" within 30 program_folder_gone
check "the uninstaller removes the Start-menu entry" test ! -e "$start_menu_entry"
check "the uninstaller removes the entry in the list of programs" eval '! listed'
check "the uninstaller leaves the user's setting alone" test -f "$user_settings"

[ "$failures" -eq 0 ]
