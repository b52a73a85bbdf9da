#!/usr/bin/env bash
# The second half of test.sh, on a display: ctest in the x64 tree, then in the x86 tree. Both run
# whatever the first gave; the exit code fails when either did. Usage: run-tests.sh BUILD [ARGS...]
# Suites labelled real_input drive real keys and the pointer and read the composed screen, which a
# loaded machine can upset: each gets two more tries. Every other suite runs once, so a flaky
# logic test shows.
set -uo pipefail
build=$1; shift
status=0
for arch in x64 x86; do
  echo "=== Tests of the $arch build ==="
  ctest --test-dir "$build/$arch" --output-on-failure --no-tests=ignore -LE real_input "$@" || status=1
  ctest --test-dir "$build/$arch" --output-on-failure --no-tests=ignore -L real_input --repeat until-pass:3 "$@" ||
    status=1
done
exit $status
