#!/usr/bin/env bash
# Checks that every include of the program's sources runs down the layers: a folder
# includes only from itself and the folders below it. The Windows front end's rooms
# (win32/widgets, ...) are folders of their own.
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
  [win32/widgets]="core readout document editor win32/widgets"
  [win32/app]="core win32/app"
  [win32/forms]="core readout document editor settings win32/widgets win32/app win32/forms"
  [win32/program]="core readout document editor settings win32/widgets win32/app win32/forms win32/program"
)

status=0
for folder in "${!allowed[@]}"; do
  [ -d "$root/$folder" ] || continue
  while IFS=: read -r file line include; do
    target=${include%%/*}
    [ "$target" = win32 ] && target=$(cut -d/ -f1-2 <<<"$include")
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "$file:$line: $folder/ includes from $target/: \"$include\""
      status=1
    fi
  done < <(cd "$root" && grep -rnoE '^#include "[a-z0-9]+/[^"]+"' "$folder" |
             sed -E 's/#include "([^"]+)"/\1/')
done
exit $status
