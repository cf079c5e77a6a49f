#!/usr/bin/env bash
# Configures and builds one flavour of the project.
#   build.sh            normal build in build/
#   build.sh sanitize   AddressSanitizer + UndefinedBehaviorSanitizer build in build-san/
#   build.sh fuzz       libFuzzer targets (clang) in build-fuzz/
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-normal}
jobs=${TS_JOBS:-$(nproc)}
case "$flavour" in
    normal)   dir=$root/build;      args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
    sanitize) dir=$root/build-san;  args=(-DCMAKE_BUILD_TYPE=Debug -DTS_SANITIZE=ON) ;;
    fuzz)     dir=$root/build-fuzz; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DTS_FUZZ=ON
                                         -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
    *) echo "unknown flavour: $flavour" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" "${args[@]}" >/dev/null
cmake --build "$dir" -j "$jobs"
