#!/usr/bin/env bash
# Checks that two builds of the last commit give byte-identical downloads: the .deb, the
# portable .tar.gz, the Windows zip, installer and quorvin.exe. It clones the commit twice,
# into two folders of different paths, runs `make package` and `make package-windows` in
# each, and compares the files' SHA-256 sums. Changes that are not committed are not built.
# Usage: check-reproducible.sh   (make check-reproducible; about six minutes on 2 cores)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unset SOURCE_DATE_EPOCH

downloads=(build/quorvin_*.deb build/quorvin-*-Linux.tar.gz build-windows/package/*.zip
           build-windows/package/*-setup.exe build-windows/win32/quorvin.exe)
commit=$(git -C "$root" rev-parse HEAD)
sums=()
for place in first "second/of/a/longer/path"; do
    tree="$scratch/$place/quorvin"
    git clone -q --no-local "$root" "$tree"
    git -C "$tree" checkout -q "$commit"
    start=$SECONDS
    make -C "$tree" package package-windows > "$scratch/${place//\//-}.log" 2>&1 || {
        tail -n 30 "$scratch/${place//\//-}.log"
        exit 1
    }
    echo "built $commit in $tree in $((SECONDS - start)) s"
    sums+=("$(cd "$tree" && sha256sum ${downloads[*]})")
done
echo "${sums[0]}"
if [ "${sums[0]}" != "${sums[1]}" ]; then
    echo "The two builds differ:"
    diff <(echo "${sums[0]}") <(echo "${sums[1]}") || true
    exit 1
fi
echo "Both builds gave the same files."
