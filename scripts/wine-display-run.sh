#!/bin/sh
# Runs a Windows program that opens windows under Wine, on a private X server (Xvfb)
# with a window manager:
#   scripts/wine-display-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
# The prefix is its own: Wine's desktop process takes the display of the program that
# starts it, so a prefix whose desktop started without a display cannot show windows.
# Its Wine server is ended afterwards, so that the next run starts on its new display.
set -eu

if [ $# -lt 2 ]; then
  echo "usage: $0 PREFIX PROGRAM [ARGUMENTS...]" >&2
  exit 2
fi
here=$(dirname "$0")
prefix=$1
shift
status=0
# With a window manager (openbox): without one, Wine waits for each hidden window to be
# withdrawn until a timeout, about two seconds every time a dialog closes.
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  openbox >/dev/null 2>&1 &
  manager=$!
  status=0
  "$@" || status=$?
  kill "$manager"
  exit "$status"' sh "$here/wine-run.sh" "$prefix" "$@" || status=$?
"$here/wine-run.sh" "$prefix" --end
exit "$status"
