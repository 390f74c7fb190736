#!/usr/bin/env bash
# A DLL planted beside quorvin.exe never runs: copies of a library that records its loading
# (PlantedLibrary.cpp) lie beside the program as OLEACC.dll and UIAutomationCore.dll, the
# two libraries that are not Known DLLs and that it loads, and Wine is told to prefer a
# native library of those names to its own. A program that imports OLEACC.dll the usual way
# loads the planted copy (the control case); quorvin.exe, asked for its screen reader
# objects, does not. Runs in a Wine session: scripts/wine-session.sh PREFIX --host this.
# Usage: check-planting.sh QUORVIN.EXE PLANTED.DLL IMPORTS_OLEACC.EXE ASK_ACCESSIBLE.EXE
set -euo pipefail
quorvin=$1 planted=$2 control=$3 asker=$4
wine_run=$(cd "$(dirname "$0")/../../../scripts" && pwd)/wine-run.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$quorvin" "$control" "$scratch/"
cp "$planted" "$scratch/OLEACC.dll"
cp "$planted" "$scratch/UIAutomationCore.dll"
marker=$scratch/planted-library-ran
export WINEDLLOVERRIDES="oleacc,uiautomationcore=n,b"

"$wine_run" "$WINEPREFIX" "$scratch/$(basename "$control")"
[ -e "$marker" ] || { echo "the control case did not load the planted library: nothing shown"; exit 1; }
rm "$marker"
echo "control: a program importing OLEACC.dll loads the planted copy"

"$wine_run" "$WINEPREFIX" "$scratch/quorvin.exe" &
program=$!
"$wine_run" "$WINEPREFIX" "$asker"
"$wine_run" "$WINEPREFIX" taskkill /im quorvin.exe >/dev/null 2>&1 || true
wait "$program" || true
if [ -e "$marker" ]; then
    echo "quorvin.exe loaded a library planted beside it"
    exit 1
fi
echo "quorvin.exe, asked for MSAA and UI Automation, loaded no planted library"
