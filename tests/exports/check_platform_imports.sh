#!/usr/bin/env bash
# check_platform_imports.sh PLATFORM_LIBRARY ALLOW_LIST CALLER...
# Every entry point that PLATFORM_LIBRARY exports must be imported by at least one CALLER (the
# project's libraries and programs that link it), or match a line of ALLOW_LIST (extended regular
# expressions over demangled names, whole symbol; '#' starts a comment). An allow-list line that no
# longer matches an export nobody imports is reported as stale, so the list only shrinks.
# Out-of-line instances of standard-library templates are the compiler's, not entry points.
set -euo pipefail
lib=$1
allow=$2
shift 2

# The last field of nm's lines is the (mangled, so blank-free) name; a version suffix goes.
demangled_names() { awk '{print $NF}' | sed -e 's/@.*//' | c++filt | sort -u; }

exports=$(nm -D --defined-only "$lib" | demangled_names |
          grep -v -E '^(_init|_fini|_edata|_end|__bss_start)$' |
          grep -v -E '^((typeinfo|typeinfo name|vtable|VTT|guard variable) for )?(void |bool )?(std|__gnu_cxx)::' || true)
imports=$(for caller in "$@"; do nm -D --undefined-only "$caller" | demangled_names; done | sort -u)
# A type's name string is reached through its type information, never imported by itself.
imports=$(sort -u <(echo "$imports") <(sed -n 's/^typeinfo for /typeinfo name for /p' <<< "$imports"))
unused=$(comm -23 <(echo "$exports") <(echo "$imports"))

mapfile -t rules < <(sed -e 's/[[:space:]]*#.*//' -e '/^[[:space:]]*$/d' "$allow")
status=0
allowed=0
while IFS= read -r sym; do
    [ -n "$sym" ] || continue
    ok=0
    for rule in "${rules[@]}"; do
        if [[ "$sym" =~ ^($rule)$ ]]; then ok=1; break; fi
    done
    if [ $ok -eq 1 ]; then
        allowed=$((allowed + 1))
    else
        echo "unused export: $sym"
        status=1
    fi
done <<< "$unused"
for rule in "${rules[@]}"; do
    if ! grep -q -E "^($rule)$" <<< "$unused"; then
        echo "stale allow-list entry (imported now, or no longer exported): $rule"
        status=1
    fi
done
total=$(grep -c . <<< "$exports" || true)
echo "$(basename "$lib"): $total entry points, $((total - $(grep -c . <<< "$unused" || true))) imported by" \
     "$(for c in "$@"; do basename "$c"; done | paste -sd' ')," "$allowed allow-listed"
exit $status
