#!/usr/bin/env bash
# Runs a command with a usable X display: the one in DISPLAY, or an Xvfb started for this run on a
# free display number and stopped afterwards. Also keeps one wineserver alive for the run when
# WINEPREFIX is set, so each Wine start is quick.
set -u
xvfb_pid=""
compositor_pid=""
cleanup() {
  [[ -n "$compositor_pid" ]] && kill "$compositor_pid" 2>/dev/null && wait "$compositor_pid" 2>/dev/null
  if [[ -n "${WINEPREFIX:-}" ]]; then WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true; fi
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  return 0
}
trap cleanup EXIT INT TERM

if ! { [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; }; then
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${TABVISOR_SCREEN:-1280x800x24}" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do [[ -s "$fdfile" ]] && break; sleep 0.1; done
  num=$(head -n1 "$fdfile"); rm -f "$fdfile"
  [[ -n "$num" ]] || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$num"
  export TABVISOR_OWN_XVFB=1
  echo "Using Xvfb on $DISPLAY" >&2
  # A compositing manager blends per-pixel-alpha windows with what lies behind them, as a desktop
  # does; without one, X shows their premultiplied colours as if over black.
  if command -v xcompmgr >/dev/null; then
    xcompmgr >/dev/null 2>&1 &
    compositor_pid=$!
  fi
fi

if [[ -n "${WINEPREFIX:-}" ]]; then
  "$(dirname "$0")/wine-prefix.sh" "$WINEPREFIX" || exit 1
  WINEDEBUG=-all wineserver -p >/dev/null 2>&1 || true
fi

"$@"
