#!/usr/bin/env bash
# Installs what is missing, builds everything for Windows and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")"
build=${TABVISOR_BUILD_DIR:-build}

scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build "$build" -j"$(nproc)"

export WINEPREFIX="$PWD/$build/wineprefix"
scripts/with-display.sh ctest --test-dir "$build" --output-on-failure "$@"
