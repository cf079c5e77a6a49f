#!/usr/bin/env bash
# check_exports.sh LIBRARY PATTERNS
# Every defined dynamic symbol of LIBRARY (demangled) must match one of the extended regular
# expressions in PATTERNS (whole symbol; '#' starts a comment), and every pattern that is not marked
# 'optional:' must match at least one symbol.
set -euo pipefail
lib=$1
patterns=$2
symbols=$(nm -D --defined-only -C "$lib" | cut -d' ' -f3- | grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' | sort -u)
status=0
mapfile -t rules < <(sed -e 's/[[:space:]]*#.*//' -e '/^[[:space:]]*$/d' "$patterns")
while IFS= read -r sym; do
    [ -n "$sym" ] || continue
    ok=0
    for rule in "${rules[@]}"; do
        re=${rule#optional:}
        if [[ "$sym" =~ ^($re)$ ]]; then ok=1; break; fi
    done
    if [ $ok -eq 0 ]; then echo "unexpected export: $sym"; status=1; fi
done <<< "$symbols"
for rule in "${rules[@]}"; do
    [[ "$rule" == optional:* ]] && continue
    if ! grep -q -E "^($rule)$" <<< "$symbols"; then echo "missing export: $rule"; status=1; fi
done
count=$(wc -l <<< "$symbols")
[ $status -eq 0 ] && echo "exports: $count symbols, all expected"
exit $status
