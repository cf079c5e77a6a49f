#!/usr/bin/env bash
# Sets up a machine and runs every test: the normal build, the sanitizer build and a short fuzz run.
# Fails when any test fails or any sanitizer reports.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
jobs=${TS_JOBS:-$(nproc)}

echo "== normal build =="
bash "$root/scripts/build.sh" normal
(cd "$root/build" && ctest --output-on-failure -j "$jobs")

echo "== sanitizer build (ASan + UBSan) =="
bash "$root/scripts/build.sh" sanitize
(cd "$root/build-san" && ctest --output-on-failure -j "$jobs" -LE slow)

echo "== fuzzing (short) =="
bash "$root/scripts/fuzz.sh" "${TS_FUZZ_SECONDS:-20}"
