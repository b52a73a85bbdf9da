#!/usr/bin/env bash
# The second half of run.sh, on a display: starts Tabvisor on a fresh simulated tablet, and where
# nobody can press the tablet key (our own Xvfb), presses it and takes a screenshot.
set -uo pipefail
tabsim() { wine "$TABVISOR_BIN/tabsim.exe" "$@"; }

tabsim reset >/dev/null
tabsim set switches 0x09 >/dev/null  # a tablet with its Wi-Fi and Bluetooth on
wine "$TABVISOR_BIN/Tabvisor.exe" &
program=$!
trap 'wineserver -k >/dev/null 2>&1; exit 0' INT TERM

# The program registers its boot task while it sets up; 50 ms later it is hidden and waiting.
for _ in $(seq 200); do
  tabsim status 2>/dev/null | grep -q '^task_calls=[1-9]' && break
  kill -0 "$program" 2>/dev/null || { echo "Tabvisor ended during start-up" >&2; exit 1; }
  sleep 0.1
done
sleep 0.5

press="WINEPREFIX=$WINEPREFIX TABVISOR_SIMULATED_TABLET=$TABVISOR_SIMULATED_TABLET wine $TABVISOR_BIN/tabsim.exe key hotkey"
if [[ -z ${TABVISOR_OWN_XVFB:-} ]]; then
  echo "Tabvisor is waiting for the tablet key on $DISPLAY. Press it from another terminal with:"
  echo "  $press"
  echo "See the simulated tablet with: ${press% key hotkey} status"
  wait "$program"
  exit 0
fi

tabsim key hotkey >/dev/null
sleep 1
shot=${TABVISOR_SCREENSHOT:-$PWD/build/tabvisor-screenshot.png}
mkdir -p "$(dirname "$shot")"
# Crop to the panel with a margin when X can tell where it is.
geometry=$(xwininfo -root -tree 2>/dev/null | awk '/"Tabvisor":/ {print $(NF-1); exit}')
if [[ $geometry =~ ^([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+)$ ]]; then
  m=40
  import -window root -crop "$((BASH_REMATCH[1] + 2 * m))x$((BASH_REMATCH[2] + 2 * m))+$((BASH_REMATCH[3] - m))+$((BASH_REMATCH[4] - m))" +repage "$shot"
else
  import -window root "$shot"
fi
echo "Screenshot of the shown panel: $shot"

if [[ -n ${TABVISOR_SCREENSHOT:-} ]]; then
  wineserver -k >/dev/null 2>&1
  exit 0
fi
echo "Tabvisor keeps running on the headless display $DISPLAY; press the tablet key again with:"
echo "  DISPLAY=$DISPLAY $press"
echo "Ctrl+C stops it."
wait "$program"
