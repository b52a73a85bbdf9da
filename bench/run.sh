#!/usr/bin/env bash
# Builds and runs the benchmarks of the finished program next to the floor (a minimal program
# that waits for the tablet key the same way), and writes the figures into bench/RESULTS.md and
# the README's benchmark table: everything for the x64 build, and sizes, start-up, memory and idle
# for the x86 build beside an x86 floor. One command, three to eight minutes, never more than ten:
#   bench/run.sh                      the full run (50 presses, 1000 cycles, 60 s idle, 5 starts)
#   bench/run.sh --presses 10 --cycles 50 --idle-seconds 10 --starts 2 --keys 40
#                                     a quick look; written to build/bench only, not to the docs
# It runs on an Xvfb of its own (never on your display: it moves the mouse) in its own Wine
# prefix, build/bench-wineprefix, so no other program's hook sees its keys.
set -euo pipefail

# Everything runs from one function, read whole before it starts, so editing this file while it
# runs cannot change what it does.
main() {
  cd "$(dirname "$0")/.."
  build=${TABVISOR_BUILD_DIR:-build}
  out="$build/bench"
  started=$(date +%s)

  scripts/install-deps.sh
  programs=(Tabvisor tabsim winio pm common_lib bench_floor bench_tabvisor_counted bench_floor_counted
    bench_zero_floor bench_zero_floor_counted)
  scripts/build.sh --arch x86 "${programs[@]}"
  scripts/build.sh --arch x64 "${programs[@]}" bench_driver bench_hook robustness_fake_Pm robustness_fake_Common

  # The programs as shipped: stripped copies, together with their DLLs. Under Wine the symbols of
  # the RelWithDebInfo build are loaded into the process and would count as its private memory.
  for arch in x64 x86; do
    mkdir -p "$out/programs-$arch"
    for f in Tabvisor.exe WINIO.dll PM.dll common.dll bench_floor.exe bench_tabvisor_counted.exe bench_floor_counted.exe \
      bench_zero_floor.exe bench_zero_floor_counted.exe; do
      x86_64-w64-mingw32-strip -o "$out/programs-$arch/$f" "$build/$arch/bin/$f"
    done
  done
  # Tabvisor beside test libraries whose every call takes as long as the driver asks (60 ms).
  mkdir -p "$out/programs-x64-slow"
  for f in Tabvisor.exe WINIO.dll; do
    x86_64-w64-mingw32-strip -o "$out/programs-x64-slow/$f" "$build/x64/bin/$f"
  done
  for f in PM.dll common.dll; do
    x86_64-w64-mingw32-strip -o "$out/programs-x64-slow/$f" "$build/x64/bin/robustness_fakes/$f"
  done

  export WINEPREFIX="$PWD/$build/bench-wineprefix"
  export WINEDEBUG=-all
  export TABVISOR_SIMULATED_TABLET="$PWD/$out/bench.tablet"
  rm -f "$TABVISOR_SIMULATED_TABLET" "$out/results.md" "$out/summary.md"
  unset DISPLAY

  command="bench/run.sh${*:+ $*}"
  # The driver has its own deadline (570 s unless --deadline-seconds says otherwise) and a job that
  # ends what it started; timeout and with-display.sh (which ends the prefix's wineserver and its
  # Xvfb) back it up.
  deadline=570
  args=("$@")
  for ((i = 0; i < ${#args[@]} - 1; i++)); do
    [[ ${args[i]} == --deadline-seconds ]] && deadline=${args[i + 1]}
  done
  timeout --kill-after=15 $((deadline + 30)) scripts/with-display.sh \
    wine "$build/x64/bin/bench_driver.exe" --results "Z:$PWD/$out/results.md" --summary "Z:$PWD/$out/summary.md" \
    --programs-dir "Z:$PWD/$out/programs-x64" --slow-programs-dir "Z:$PWD/$out/programs-x64-slow" --x86-programs-dir "Z:$PWD/$out/programs-x86" \
    --x86-built-dir "Z:$PWD/$build/x86/bin" --wine-version "$(wine --version)" --command "$command" "$@"

  [[ -s "$out/results.md" ]] || { echo "bench: no results written" >&2; exit 1; }
  echo "bench: results in $out/results.md ($(( $(date +%s) - started )) s in all)"

  # Only a full run goes into the documents.
  [[ $# -eq 0 ]] || exit 0

  # Replaces what lies between two marker lines of a file with a file's content.
  splice() {
    local file=$1 begin=$2 end=$3 content=$4
    awk -v b="$begin" -v e="$end" -v f="$content" '
      $0 == b { print; while ((getline line < f) > 0) print line; skip = 1; next }
      $0 == e { skip = 0 }
      !skip { print }' "$file" >"$file.tmp" && mv "$file.tmp" "$file"
  }
  splice bench/RESULTS.md "<!-- bench-results:begin -->" "<!-- bench-results:end -->" "$out/results.md"
  splice README.md "<!-- bench-summary:begin -->" "<!-- bench-summary:end -->" "$out/summary.md"
  echo "bench: bench/RESULTS.md and the README's benchmark table updated"
}

main "$@"
