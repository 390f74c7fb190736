#!/usr/bin/env bash
# Reads the resources of the Windows program back with windres: from the resource script
# (compiled first), from the built quorvin.exe, or from the installer. The version record
# must carry the versions given, for Chinese (PRC) and code page 936, and an icon must be
# there; the program's record has every other string empty, the installer's may name the
# product and itself.
# Usage: check-windows-resource.sh WINDRES PREPROCESSOR FILE FILE_VERSION PRODUCT_VERSION [installer]
# FILE is a .rc script or an executable. Exits with 77 (skipped) when windres is not installed.
set -uo pipefail

windres=$1
preprocessor=$2
file=$3
file_version=$4
product_version=$5
kind=${6:-program}

if ! command -v "$windres" >/dev/null; then
    echo "SKIPPED: $windres is not installed (Debian package binutils-mingw-w64-x86-64)"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
compiled=$file
if [[ "$file" == *.rc ]]; then
    compiled="$work/quorvin.res"
    if ! "$windres" --preprocessor="$preprocessor" -i "$file" -O res -o "$compiled"; then
        echo "FAIL: $windres cannot compile $file"
        exit 1
    fi
fi
"$windres" -i "$compiled" -O rc -o "$work/readback.rc"

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
expect_line '^ *BLOCK "080403[Aa]8"$'
expect_line "^ *VALUE \"FileVersion\", \"${file_version}\"\$"
expect_line "^ *VALUE \"ProductVersion\", \"${product_version}\"\$"
expect_line '^ *VALUE "Translation", 0x804, 936$'
expect_line ' 14 /\* RT_GROUP_ICON \*/'
others=
if [ "$kind" = program ]; then
    expect_line '^"MAINICON" 14 /\* RT_GROUP_ICON \*/'
    others=$(grep -E '^ *VALUE "' "$work/readback.rc" |
        grep -vE '"(FileVersion|ProductVersion|Translation)"' | grep -vE ', ""$')
fi
if [ -n "$others" ]; then
    echo "FAIL: strings that should be empty:"
    echo "$others"
    failures=$((failures + 1))
fi

if [ "$failures" -ne 0 ]; then
    exit 1
fi
echo "$file: version record $file_version / $product_version, icon present"
