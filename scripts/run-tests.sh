#!/usr/bin/env bash
# The second half of test.sh, on a display: ctest in the x64 tree, then in the x86 tree. Both run
# whatever the first gave; the exit code fails when either did. Usage: run-tests.sh BUILD [ARGS...]
set -uo pipefail
build=$1; shift
status=0
for arch in x64 x86; do
  echo "=== Tests of the $arch build ==="
  # Tests that drive real input and read the composed screen depend on timing that a loaded
  # machine can upset; such a test gets two more tries before it counts as failed.
  ctest --test-dir "$build/$arch" --output-on-failure --repeat until-pass:3 "$@" || status=1
done
exit $status
