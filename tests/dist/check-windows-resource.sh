#!/usr/bin/env bash
# Compiles the Windows resource script with windres and reads the result back: the
# version record must carry the versions given, for Chinese (PRC) and code page 936,
# with every other string empty, and the application icon must be there.
# Usage: check-windows-resource.sh WINDRES PREPROCESSOR RC_FILE FILE_VERSION PRODUCT_VERSION
# Exits with 77 (skipped) when windres is not installed.
set -uo pipefail

windres=$1
preprocessor=$2
rc_file=$3
file_version=$4
product_version=$5

if ! command -v "$windres" >/dev/null; then
    echo "SKIPPED: $windres is not installed (Debian package binutils-mingw-w64-x86-64)"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! "$windres" --preprocessor="$preprocessor" -i "$rc_file" -O res -o "$work/quorvin.res"; then
    echo "FAIL: $windres cannot compile $rc_file"
    exit 1
fi
"$windres" -i "$work/quorvin.res" -O rc -o "$work/readback.rc"

failures=0
expect_line() { # an extended regular expression that a line of the read-back must match
    if ! grep -qE -- "$1" "$work/readback.rc"; then
        echo "FAIL: no line matching: $1"
        failures=$((failures + 1))
    fi
}
fixed=${file_version//./, }
expect_line "^ *FILEVERSION ${fixed}\$"
expect_line "^ *PRODUCTVERSION ${fixed}\$"
expect_line '^ *BLOCK "080403A4"$'
expect_line "^ *VALUE \"FileVersion\", \"${file_version}\"\$"
expect_line "^ *VALUE \"ProductVersion\", \"${product_version}\"\$"
expect_line '^ *VALUE "Translation", 0x804, 936$'
expect_line '^"MAINICON" 14 /\* RT_GROUP_ICON \*/'

others=$(grep -E '^ *VALUE "' "$work/readback.rc" |
    grep -vE '"(FileVersion|ProductVersion|Translation)"' | grep -vE ', ""$')
if [ -n "$others" ]; then
    echo "FAIL: strings that should be empty:"
    echo "$others"
    failures=$((failures + 1))
fi

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "$rc_file compiles; version record $file_version / $product_version, icon present"
