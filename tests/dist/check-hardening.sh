#!/usr/bin/env bash
# Checks that a shipped binary carries the distributions' hardening, as hardening-check
# (devscripts) reads it: PIE, stack protector, fortified functions, read-only relocations
# and immediate binding must all be found. Two lines depend on more than our flags:
# - stack clash protection is "unknown" when no function has a frame large enough to need
#   probes (Debian's own /usr/bin/ls reads the same); it must never be "no";
# - control flow integrity needs every object of the link to carry the CET property, and
#   Debian 12's C start files (Scrt1.o, crti.o, crtn.o) carry none, so the linker drops it.
#   Then the check asks that those files indeed lack it and that our own main begins
#   with the branch-target mark that -fcf-protection puts at the start of functions.
# Usage: check-hardening.sh BINARY...   (not stripped: main is looked up by name)
set -euo pipefail
command -v hardening-check >/dev/null || { echo "hardening-check is missing"; exit 77; }

start_files_lack_cet() {
    local start
    start=$(gcc -print-file-name=Scrt1.o)
    [ "$(readelf -n "$start" | grep -c "x86 feature: IBT")" -eq 0 ]
}

# The program's own main begins with the branch target mark of -fcf-protection.
main_starts_with_endbr() {
    objdump -d --disassemble=main "$1" | grep -A1 '<main>:' | grep -q endbr64
}

status=0
for binary in "$@"; do
    report=$(hardening-check "$binary" 2>&1 || true)
    echo "$report"
    grep -q "Position Independent Executable" <<<"$report" || { echo "FAIL: no report"; status=1; }
    while IFS=: read -r name verdict; do
        verdict=${verdict# }
        case "$name" in
        " Stack clash protection")
            [[ $verdict == yes* || $verdict == unknown* ]] || { echo "FAIL:$name"; status=1; } ;;
        " Control flow integrity")
            if [[ $verdict != yes* ]]; then
                if start_files_lack_cet && main_starts_with_endbr "$binary"; then
                    echo "   (the C start files carry no CET property; main begins with endbr64)"
                else
                    echo "FAIL:$name"; status=1
                fi
            fi ;;
        " "*)
            [[ $verdict == yes* ]] || { echo "FAIL:$name"; status=1; } ;;
        esac
    done <<<"$(tail -n +2 <<<"$report")"
done
exit $status
