#!/usr/bin/env bash
# Sets up a machine, builds, and runs the gallery. Without a display it writes one screenshot per
# page into build/screenshots and exits; extra arguments are passed to the gallery.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" normal
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ $# -eq 0 ]; then
    set -- --screenshots "$root/build/screenshots"
fi
exec "$root/build/bin/tsuikit-gallery" "$@"
