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
# A caller that only formats values and shows a wizard links nothing of the web engine, chmlib,
# libcurl or D-Bus; those come with the back-ends, installed beside the libraries, each of which
# finds everything it needs.
if ldd "$work/build/consumer" | grep -E 'WebEngine|libchm|libcurl|dbus'; then
    echo "consumer needs a library that only a back-end may bring"; exit 1
fi
for backend in TsHtmlHelpViewer TsWebBrowser TsInternet TsLoginManager; do
    lib=$prefix/lib/tessaro/lib$backend.so
    [ -f "$lib" ] || { echo "back-end $backend not installed"; exit 1; }
    if ldd "$lib" | grep -E 'not found|libTs.*=> /' | grep -v "$prefix"; then
        echo "back-end $backend resolves a library outside the prefix or not at all"; exit 1
    fi
done
env -u TS_LANG_DIR QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 TZ=UTC "$work/build/consumer"
