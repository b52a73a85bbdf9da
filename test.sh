#!/usr/bin/env bash
# Installs what is missing, builds both architectures and the setup, and runs every test under
# Wine: the whole suite on the x64 build, and the x86 build's suites that exercise the program
# and the libraries from outside. Extra arguments go to both ctest runs (e.g. -R e2e).
set -euo pipefail
cd "$(dirname "$0")"
build=${TABVISOR_BUILD_DIR:-build}

scripts/install-deps.sh
scripts/build.sh

export WINEPREFIX="$PWD/$build/wineprefix"
# The tests move the pointer and read the screen: never on the desktop's display (where they would
# move your pointer, and fail without a compositing manager) unless TABVISOR_TEST_DISPLAY names one.
if [[ -n ${TABVISOR_TEST_DISPLAY:-} ]]; then
  export DISPLAY=$TABVISOR_TEST_DISPLAY
else
  unset DISPLAY
fi
exec scripts/with-display.sh scripts/run-tests.sh "$build" "$@"
