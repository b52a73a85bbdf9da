#!/usr/bin/env bash
# Creates the private Wine prefix once (wineboot), safely when several runs start together, and
# brings up to date one made before 32-bit Wine was installed. A 64-bit prefix (it runs 32-bit and
# 64-bit programs) unless TABVISOR_WINEARCH=win32 asks for a 32-bit Windows. A prefix whose name
# ends in -dpiN (build/wineprefix-dpi144) is a display at N dots per inch: 144 is 150 %.
set -u
prefix=$1
mkdir -p "$(dirname "$prefix")"
# A scaled prefix starts as a copy of its usual one (made first, if need be), which is much quicker
# than a wineboot of its own; only its LogPixels differs.
base=""
if [[ $prefix =~ ^(.+)-dpi[0-9]+$ ]]; then
  base=${BASH_REMATCH[1]}
  [[ -f "$prefix/.ready" ]] || "$0" "$base" || exit 1
fi
export WINEPREFIX="$prefix" WINEARCH="${TABVISOR_WINEARCH:-win64}" WINEDEBUG="${WINEDEBUG:--all}"
# Debian's loaders: `wine` starts the 32-bit one whenever it is installed, which then needs the
# prefix's 32-bit system folder even to start a 64-bit program.
wine32_loader=/usr/lib/wine/wine
wine64_loader=/usr/lib/wine/wine64
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Stops the script (run in the locked subshell below) with the step that failed.
failed() {
  echo "wine-prefix.sh: $1 failed for $prefix; it is tried again next time" >&2
  exit 1
}
(
  flock 9
  if [[ ! -f "$prefix/.ready" && -n $base && -f "$base/.ready" ]]; then
    echo "Copying Wine prefix $base to $prefix ..." >&2
    rm -rf "$prefix"
    mkdir -p "$prefix"
    # Not the running server's key, nor what the base's runs left in their temporary folders.
    tar -C "$base" --exclude=./wineserver --exclude='./drive_c/users/*/Temp/*' --exclude='./drive_c/windows/temp/*' \
      -cf - . | tar -C "$prefix" -xf - || { echo "could not copy $base" >&2; exit 1; }
    rm -f "$prefix"/.logpixels-*
  fi
  if [[ ! -f "$prefix/.ready" ]]; then
    echo "Creating Wine prefix $prefix ..." >&2
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
    [[ -f "$prefix/system.reg" ]] || failed "wineboot"
    # A crash must end the process with an error code, not wait behind a crash dialog.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 ||
      failed "turning off the crash dialog"
    wineserver -w
    touch "$prefix/.ready" || failed "marking the prefix ready"
  fi
  # A 64-bit prefix made while only 64-bit Wine was installed has an empty SysWOW64; once 32-bit
  # Wine is there, every start fails ("could not load kernel32.dll"). A 64-bit wineboot update
  # that is told where the 32-bit loader is fills it in.
  if [[ $WINEARCH == win64 && -x $wine32_loader && -x $wine64_loader &&
        ! -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ]]; then
    echo "Adding 32-bit support to Wine prefix $prefix ..." >&2
    # The first update after the change only brings the 64-bit side up to date.
    for _ in 1 2; do
      [[ -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ]] && break
      wineserver -k >/dev/null 2>&1
      rm -f "$prefix/.update-timestamp"
      WINELOADER=$wine32_loader "$wine64_loader" wineboot -u >/dev/null 2>&1
      wineserver -w
    done
    [[ -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ]] || failed "adding 32-bit support"
  fi
  # Dialog units follow each template's font, so the fonts must measure as on Windows or every
  # control lands off the artwork drawn for it. "System" (8x16 base units at 10 points): wineboot
  # leaves Wine's own copy of it (fonts-wine) out of the prefix, and DejaVu Sans (8x15) stood in.
  # "宋体" (SimSun, 6x12 at 9 points): Wine has none and fell back to DejaVu Sans (7x14); the Song
  # face AR PL SungtiL GB (fonts-arphic-gbsn00lp) measures 6x12. Only that one name is replaced:
  # "SimSun" also appears in Wine's font links, and replacing it would change other fallbacks.
  if [[ ! -f "$prefix/.fonts-1" ]]; then
    cp /usr/share/wine/fonts/vgasys.fon "$prefix/drive_c/windows/Fonts/" || failed "installing Wine's System font"
    reg=$(mktemp --suffix=.reg) || failed "the font replacement"
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
      '"宋体"="AR PL SungtiL GB"' | iconv -f UTF-8 -t UTF-16 >"$reg" || { rm -f "$reg"; failed "the font replacement"; }
    wine regedit /S "Z:$reg" >/dev/null 2>&1
    imported=$?
    wineserver -w
    rm -f "$reg"
    [[ $imported == 0 ]] || failed "the font replacement"
    touch "$prefix/.fonts-1" || failed "marking the fonts done"
  fi
  # No window is left to a window manager: under Xvfb there is none, and Wine then waits two
  # seconds for the missing manager each time a managed window (the panel has a taskbar button)
  # is hidden, holding the program's only thread. Unmanaged, the borderless windows behave alike
  # on any display.
  if [[ ! -f "$prefix/.unmanaged-1" ]]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
      failed "leaving windows unmanaged"
    wineserver -w
    touch "$prefix/.unmanaged-1" || failed "marking the unmanaged windows done"
  fi
  # Wine has one DPI for every monitor and every program, the user's LogPixels, read as each
  # process starts; nothing is stretched, whatever a program declares.
  if [[ $prefix =~ -dpi([0-9]+)$ && ! -f "$prefix/.logpixels-${BASH_REMATCH[1]}" ]]; then
    dpi=${BASH_REMATCH[1]}
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -w
    touch "$prefix/.logpixels-$dpi"
  fi
) 9>"$prefix.lock"
