#!/usr/bin/env bash
# Installs what is missing, builds Trabex and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target trabex-cli
# The desktop window is not built yet: analyse the sample truss on the command line.
./build/tools/trabex-cli report examples/pratt-bridge.trs
