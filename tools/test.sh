#!/usr/bin/env bash
# Installs what is missing, builds everything, runs every test, then the tests that need no window
# (solver, services, i18n, model, analysis, report, CLI, update component) once more under
# AddressSanitizer and UndefinedBehaviorSanitizer, and at last every fuzz target of the file
# readers for 20 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
JOBS=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$JOBS"
(cd build && ctest --output-on-failure -j "$JOBS" --timeout 600)

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRABEX_SANITIZE=ON -DTRABEX_GUI=OFF \
    -DTRABEX_BENCH=OFF
cmake --build build-asan -j "$JOBS"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j "$JOBS" --timeout 900)

bash tools/fuzz.sh 20
