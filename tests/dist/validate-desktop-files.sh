#!/usr/bin/env bash
# Validates the desktop entry or the AppStream metadata with its validator.
# Usage: validate-desktop-files.sh desktop|metainfo FILE
# Exits with 77 (skipped) when the validator is not installed.
set -uo pipefail

kind=$1
file=$2
case "$kind" in
desktop) command=(desktop-file-validate "$file") package=desktop-file-utils ;;
metainfo) command=(appstreamcli validate --no-net --explain "$file") package=appstream ;;
*)
    echo "unknown kind: $kind"
    exit 2
    ;;
esac

if ! command -v "${command[0]}" >/dev/null; then
    echo "SKIPPED: ${command[0]} is not installed (Debian package $package)"
    exit 77
fi
# desktop-file-validate prints problems but may still exit with 0 for some of them.
output=$("${command[@]}" 2>&1)
status=$?
echo "$output"
if [ "$status" -ne 0 ] || { [ "$kind" = desktop ] && [ -n "$output" ]; }; then
    echo "FAIL: $file does not validate"
    exit 1
fi
