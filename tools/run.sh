#!/usr/bin/env bash
# Installs what is missing, builds Trabex and starts the desktop program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target trabex trabex-cli
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Trabex is built (build/app/trabex), but there is no display to show its window on." >&2
    echo "Start it from a desktop session, or analyse a file with build/tools/trabex-cli/trabex-cli." >&2
    exit 1
fi
exec ./build/app/trabex
