#!/usr/bin/env bash
# Checks the compiled help file against its sources: every page of the help folder,
# every file of the project's [FILES] section, every entry of the table of contents
# and every local link of the pages is in the file, and each page is stored unchanged.
# Usage: check-help-file.sh CHMLS HELP_FILE HELP_SOURCE_FOLDER
set -uo pipefail

chmls=$1
help_file=$2
sources=$3
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if [ ! -f "$help_file" ]; then
    echo "FAIL: no help file at $help_file"
    exit 1
fi

# The names stored in the file, one a line, without the leading "/".
if ! listing=$("$chmls" --name-only list "$help_file" 2>/dev/null); then
    echo "FAIL: chmls cannot list $help_file"
    exit 1
fi
stored=$(printf '%s\n' "$listing" | sed -n 's|^/||p')

expect_stored() { # name, where it was asked for
    if ! grep -qxF -- "$1" <<<"$stored"; then
        fail "$1 ($2) is not in the help file"
    fi
}

# Every page of the folder: a page missing from [FILES] would be left out silently.
for page in "$sources"/*.html; do
    expect_stored "$(basename "$page")" "page of the help folder"
done

# The project's [FILES] section and its default topic.
project_files=$(sed -n '/^\[FILES\]/,/^\[/{/^\[/d;/^[[:space:]]*$/d;s/\r$//;p}' "$sources/quorvin.hhp")
while IFS= read -r file; do
    expect_stored "$file" "listed in quorvin.hhp"
done <<<"$project_files"
default_topic=$(sed -n 's/^Default topic=\(.*\)\r*$/\1/p' "$sources/quorvin.hhp")
expect_stored "$default_topic" "default topic"
expect_stored "quorvin.hhc" "table of contents"

# Every entry of the table of contents.
while IFS= read -r target; do
    expect_stored "$target" "entry of the table of contents"
done < <(sed -n 's/.*name="Local" value="\([^"#]*\).*/\1/p' "$sources/quorvin.hhc")

# Every local link and style sheet of the pages.
for page in "$sources"/*.html; do
    while IFS= read -r target; do
        expect_stored "$target" "linked from $(basename "$page")"
    done < <(grep -o -E '(href|src)="[^"#:]+' "$page" | sed 's/^[a-z]*="//' | sort -u)
done

# Pages and style sheet are stored byte for byte; the table of contents in GBK.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for source in "$sources"/*.html "$sources"/*.css; do
    name=$(basename "$source")
    "$chmls" extract "$help_file" "/$name" "$work/$name" >/dev/null 2>&1
    if ! cmp -s "$source" "$work/$name"; then
        fail "$name is not stored as written"
    fi
done
"$chmls" extract "$help_file" /quorvin.hhc "$work/quorvin.hhc" >/dev/null 2>&1
if ! iconv -f GBK -t UTF-8 "$work/quorvin.hhc" 2>/dev/null | cmp -s - "$sources/quorvin.hhc"; then
    fail "the table of contents is not the GBK form of quorvin.hhc"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures problem(s) in $help_file"
    exit 1
fi
echo "$help_file holds every page, link and contents entry"
