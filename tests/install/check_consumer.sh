#!/usr/bin/env bash
# check_consumer.sh BUILD_DIR SOURCE_DIR WORK_DIR
# Installs the build into a fresh prefix, builds examples/consumer against it as a separate CMake
# project and runs it headless, with no hint of where the language modules are.
set -euo pipefail
build=$1 source=$2 work=$3
rm -rf "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
cmake -S "$source/examples/consumer" -B "$work/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/build" >/dev/null
# Nothing of the build tree may be needed: the libraries and the package come from the prefix.
ldd "$work/build/consumer" | grep -E 'libTs(UIKit|Common|Platform)' | grep -v "$prefix" && {
    echo "consumer resolved a library outside the prefix"; exit 1; }
env -u TS_LANG_DIR QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 TZ=UTC "$work/build/consumer"
