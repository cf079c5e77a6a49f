#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (seconds, default 60).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
bash "$root/scripts/build.sh" fuzz
# Same run-time options as the sanitized tests (see cmake/TsSanitizers.cmake).
export ASAN_OPTIONS=detect_leaks=1:intercept_tls_get_addr=0
export LSAN_OPTIONS=suppressions=$root/tests/support/lsan.supp
export QT_QPA_PLATFORM=offscreen
status=0
for target in "$root"/build-fuzz/bin/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus=$root/build-fuzz/corpus/$name
    mkdir -p "$corpus"
    seeds=$root/fuzz/seeds/${name#fuzz_}
    options=$ASAN_OPTIONS
    # Whole help files: the shipped ones, as built, seed the reader's target too. Each of its runs
    # forks a reader child, which is faster from a smaller heap.
    if [ "$name" = fuzz_chmfile ]; then
        cp "$root"/build-fuzz/share/tessaro/*.chm "$corpus"/ 2>/dev/null || true
        options=$options:quarantine_size_mb=16
    fi
    echo "-- $name for ${seconds}s"
    if ! ASAN_OPTIONS=$options "$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
            -artifact_prefix="$root/build-fuzz/$name-" "$corpus" \
            $( [ -d "$seeds" ] && echo "$seeds" ) > "$root/build-fuzz/$name.log" 2>&1; then
        tail -n 60 "$root/build-fuzz/$name.log"
        status=1
    else
        grep -E 'stat::number_of_executed_units' "$root/build-fuzz/$name.log" || true
    fi
done
exit $status
