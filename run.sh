#!/usr/bin/env bash
# Installs what is missing, builds Tabvisor and starts it under Wine on a simulated tablet.
#   ./run.sh                    run on this display (or on an Xvfb of its own, pressing the key itself)
#   ./run.sh --screenshot FILE  run headless, press the tablet key, save a screenshot, and stop
set -euo pipefail
cd "$(dirname "$0")"

screenshot=""
if [[ ${1:-} == --screenshot ]]; then
  [[ -n ${2:-} ]] || { echo "usage: $0 [--screenshot FILE]" >&2; exit 2; }
  screenshot=$(realpath -m "$2")
  unset DISPLAY  # a screenshot run never uses the user's display
fi

build=${TABVISOR_BUILD_DIR:-build}
scripts/install-deps.sh
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build "$build" -j"$(nproc)" --target Tabvisor tabsim winio pm common_lib

export WINEPREFIX="$PWD/$build/wineprefix"
export WINEDEBUG=-all
export TABVISOR_SIMULATED_TABLET="$PWD/$build/run.tablet"
export TABVISOR_BIN="$PWD/$build/bin"
export TABVISOR_SCREENSHOT="$screenshot"
exec scripts/with-display.sh scripts/run-on-display.sh
