#!/usr/bin/env bash
# Installs what is missing, builds everything, runs every test, then every test once more in a
# second build under AddressSanitizer and UndefinedBehaviorSanitizer (the windows included, on the
# offscreen platform, with leak detection), and at last every fuzz target of the file readers for
# 20 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
JOBS=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$JOBS"
(cd build && ctest --output-on-failure -j "$JOBS" --timeout 600)

# GUI is given explicitly: an older build-asan folder may still hold OFF in its cache.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRABEX_SANITIZE=ON -DTRABEX_GUI=ON \
    -DTRABEX_BENCH=OFF
cmake --build build-asan -j "$JOBS"
# Leaks inside third-party libraries only are suppressed, each one documented in the file.
LSAN_SUPPRESSIONS=$(pwd)/tools/lsan-suppressions.txt
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$LSAN_SUPPRESSIONS" QT_QPA_PLATFORM=offscreen \
    ctest --output-on-failure -j "$JOBS" --timeout 900)

bash tools/fuzz.sh 20
