#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the run command need, if any is missing.
# Both builds need their compiler (x86_64 and i686 MinGW-w64) and their Wine (wine64, and wine32
# from the i386 architecture for the x86 build and for 32-bit prefixes).
set -euo pipefail

packages=(
  cmake make
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  googletest
  wine wine64 wine32:i386
  xvfb x11-utils x11-xserver-utils xcompmgr imagemagick xdotool
  fonts-wine fonts-arphic-gbsn00lp
  nsis
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  # sudo drops the caller's environment, so the variable goes on its command line.
  sudo=(sudo)
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
