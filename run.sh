#!/usr/bin/env bash
# Installs what is missing, builds Tabvisor and starts it under Wine on a simulated tablet.
#   ./run.sh                    run on this display (or on an Xvfb of its own, pressing the key itself)
#   ./run.sh --screenshot FILE  run headless, press the tablet key, save a screenshot, and stop
#   ./run.sh --x86 [...]        the same with the 32-bit build (the default is the 64-bit one)
set -euo pipefail
cd "$(dirname "$0")"

usage() { echo "usage: $0 [--x86] [--screenshot FILE]" >&2; exit 2; }
arch=x64
screenshot=""
while [[ $# -gt 0 ]]; do
  case $1 in
    --x86) arch=x86; shift ;;
    --screenshot)
      [[ -n ${2:-} ]] || usage
      screenshot=$(realpath -m "$2")
      unset DISPLAY  # a screenshot run never uses the user's display
      shift 2 ;;
    *) usage ;;
  esac
done

build=${TABVISOR_BUILD_DIR:-build}
scripts/install-deps.sh
scripts/build.sh --arch "$arch" Tabvisor tabsim winio pm common_lib

export WINEPREFIX="$PWD/$build/wineprefix"
export WINEDEBUG=-all
export TABVISOR_SIMULATED_TABLET="$PWD/$build/run.tablet"
export TABVISOR_BIN="$PWD/$build/$arch/bin"
export TABVISOR_SCREENSHOT="$screenshot"
exec scripts/with-display.sh scripts/run-on-display.sh
