#!/usr/bin/env bash
# Installs what is missing, builds Tabvisor and starts it under Wine on a simulated tablet.
#   ./run.sh                    run on this display (or on an Xvfb of its own, pressing the key itself)
#   ./run.sh --screenshot FILE  run headless, press the tablet key, save a screenshot, and stop
#   ./run.sh --x86 [...]        the same with the 32-bit build (the default is the 64-bit one)
#   ./run.sh --scale 150 [...]  the same on a display scaled to 150 % (144 dpi; any percentage from
#                               100 to 300), in a Wine prefix of its own for that scale
set -euo pipefail
cd "$(dirname "$0")"

usage() { echo "usage: $0 [--x86] [--scale PERCENT] [--screenshot FILE]" >&2; exit 2; }
arch=x64
screenshot=""
scale=100
while [[ $# -gt 0 ]]; do
  case $1 in
    --x86) arch=x86; shift ;;
    --scale)
      [[ ${2:-} =~ ^[0-9]+$ ]] && (( $2 >= 100 && $2 <= 300 )) || usage
      scale=$2
      shift 2 ;;
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

# Wine takes the display's DPI from the prefix (scripts/wine-prefix.sh): 100 % is the usual one.
# Its own Xvfb is as many pixels larger as a tablet's screen is at that scale.
if (( scale == 100 )); then
  export WINEPREFIX="$PWD/$build/wineprefix"
else
  export WINEPREFIX="$PWD/$build/wineprefix-dpi$(( (scale * 96 + 50) / 100 ))"
  export TABVISOR_SCREEN=${TABVISOR_SCREEN:-$(( 1280 * scale / 100 ))x$(( 800 * scale / 100 ))x24}
fi
export WINEDEBUG=${WINEDEBUG:--all}  # WINEDEBUG=warn+seh shows the program's developer traces
export TABVISOR_SIMULATED_TABLET="$PWD/$build/run.tablet"
export TABVISOR_BIN="$PWD/$build/$arch/bin"
export TABVISOR_SCREENSHOT="$screenshot"
exec scripts/with-display.sh scripts/run-on-display.sh
