#!/usr/bin/env bash
# Creates the private Wine prefix once (wineboot), safely when several runs start together.
set -u
prefix=$1
mkdir -p "$(dirname "$prefix")"
export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
(
  flock 9
  if [[ ! -f "$prefix/.ready" ]]; then
    echo "Creating Wine prefix $prefix ..." >&2
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
    [[ -f "$prefix/system.reg" ]] || { echo "wineboot failed for $prefix" >&2; exit 1; }
    # A crash must end the process with an error code, not wait behind a crash dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$prefix/.ready"
  fi
) 9>"$prefix.lock"
