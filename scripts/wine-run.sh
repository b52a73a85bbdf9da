#!/usr/bin/env bash
# Runs one Windows executable under Wine in a private prefix, on the X display in DISPLAY or,
# when that display cannot be reached, on a throw-away Xvfb. Usage: wine-run.sh PREFIX EXE [ARGS...]
# The executable's exit code is passed through; a crash gives a non-zero code.
set -u
prefix=$1; shift

export WINEPREFIX="$prefix"
export WINEARCH="${TABVISOR_WINEARCH:-win64}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer prompts: nothing here needs them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

display_ok() { [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; }
if ! display_ok; then
  exec "$(dirname "$0")/with-display.sh" "$0" "$prefix" "$@"
fi

"$(dirname "$0")/wine-prefix.sh" "$prefix" || exit 1

# Wine's helper processes (explorer, services) inherit our stdout and outlive the test; a caller
# waiting for the end of a pipe would wait for them. So the output goes through a file.
out=$(mktemp)
trap 'rm -f "$out"' EXIT
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
exit $rc
