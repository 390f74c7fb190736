#!/bin/sh
# Runs a Windows program under Wine in a private Wine prefix, quietly:
#   scripts/wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
#   scripts/wine-run.sh PREFIX --start   makes the prefix if needed and keeps its Wine
#                                        server running, so that each later start is quick
#   scripts/wine-run.sh PREFIX --end     ends the prefix's Wine server (and its programs)
# The prefix is made on first use, which takes several seconds. Without --start the server
# ends a few seconds after the last program, and the next start costs seconds again.
# CTest runs the Windows tests through this script (CMAKE_CROSSCOMPILING_EMULATOR).
set -eu

if [ $# -lt 2 ]; then
  echo "usage: $0 PREFIX PROGRAM [ARGUMENTS...] | $0 PREFIX --end" >&2
  exit 2
fi
WINEPREFIX=$1
shift
WINEDEBUG=-all
export WINEPREFIX WINEDEBUG

# Debian's wine64 package keeps its loader out of PATH; the wine package adds "wine".
find_tool() {
  for candidate in "$@"; do
    if command -v "$candidate" >/dev/null 2>&1; then
      command -v "$candidate"
      return 0
    fi
  done
  echo "$0: none of $* found; install wine64" >&2
  exit 127
}

wine=$(find_tool /usr/lib/wine/wine64 wine64 wine)
server=$(find_tool /usr/lib/wine/wineserver wineserver)
case "$1" in
  --start)
    # The server and the services that the prefix starts live on after this script: they
    # must not hold its output open (CTest waits for that to close).
    mkdir -p "$WINEPREFIX"
    "$server" --persistent </dev/null >/dev/null 2>&1
    exec "$wine" wineboot --init </dev/null >"$WINEPREFIX/wineboot.log" 2>&1
    ;;
  --end)
    # Nothing to end when no server runs.
    "$server" -k 2>/dev/null || true
    ;;
  *)
    exec "$wine" "$@"
    ;;
esac
