#!/usr/bin/env bash
# The executables carry the loader's protections: ASLR with high entropy (DYNAMIC_BASE,
# HIGH_ENTROPY_VA) and no execution of data (NX_COMPAT), and no section is both writable
# and executable.
# Usage: check-pe-flags.sh OBJDUMP FILE.exe...
set -euo pipefail
objdump=$1
shift
status=0
for file in "$@"; do
    headers=$("$objdump" -p "$file")
    for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
        grep -qw "$flag" <<<"$headers" || { echo "$file: no $flag"; status=1; }
    done
    # objdump -h gives each section's flags on the line after its name.
    if "$objdump" -h "$file" | grep -w CODE | grep -vqw READONLY; then
        echo "$file: a writable section holds code"
        status=1
    fi
    [ $status -ne 0 ] || echo "$file: DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT, no writable code"
done
exit $status
