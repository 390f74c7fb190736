#!/usr/bin/env bash
# Checks that every include of the program's sources runs down the layers: a folder
# includes only from itself and the folders below it.
# Usage: check-layers.sh SOURCE_ROOT
set -euo pipefail
root=${1:?source root}

declare -A allowed=(
  [core]="core"
  [readout]="core readout"
  [document]="core readout document"
  [editor]="core readout document editor"
  [settings]="core settings"
  [pictures]="core pictures"
  [widgets]="core readout document editor widgets"
  [app]="core app"
  [forms]="core readout document editor settings pictures widgets app forms"
  [program]="core readout document editor settings pictures widgets app forms program"
  [win32]="core readout document settings win32"
)

status=0
for folder in "${!allowed[@]}"; do
  [ -d "$root/$folder" ] || continue
  while IFS=: read -r file line include; do
    target=${include%%/*}
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "$file:$line: $folder/ includes from $target/: \"$include\""
      status=1
    fi
  done < <(cd "$root" && grep -rnoE '^#include "[a-z0-9]+/[^"]+"' "$folder" |
             sed -E 's/#include "([^"]+)"/\1/')
done
exit $status
