#!/usr/bin/env bash
# The normal build: Tabvisor, tabsim, the library stand-ins, tests and benchmarks for x86 and
# for x64, each in a tree of its own, then the one setup that holds both.
#   scripts/build.sh                     everything, both architectures, and the setup
#   scripts/build.sh --arch x86 [TARGET...]
#                                        one architecture's tree (only TARGETs when given)
# Trees: $build/x86 and $build/x64, binaries in bin/ of each; the setup is
# $build/x64/bin/Tabvisor-setup.exe. Both trees' tests share one Wine prefix, $build/wineprefix.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${TABVISOR_BUILD_DIR:-build}
root=$PWD

archs=(x86 x64)
if [[ ${1:-} == --arch ]]; then
  [[ ${2:-} == x86 || ${2:-} == x64 ]] || { echo "usage: $0 [--arch x86|x64 [TARGET...]]" >&2; exit 2; }
  archs=("$2")
  shift 2
fi
targets=()
for t in "$@"; do targets+=(--target "$t"); done

for arch in "${archs[@]}"; do
  options=(-DTABVISOR_WINEPREFIX="$root/$build/wineprefix")
  if [[ $arch == x86 ]]; then
    toolchain=mingw-w64-i686.cmake
  else
    toolchain=mingw-w64-x86_64.cmake
    # The x64 tree packs the setup, from its own binaries and the x86 tree's (built first).
    options+=(-DTABVISOR_X86_BIN="$root/$build/x86/bin")
  fi
  cmake -S . -B "$build/$arch" -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain" "${options[@]}" >/dev/null
  cmake --build "$build/$arch" -j"$(nproc)" "${targets[@]}"
done
