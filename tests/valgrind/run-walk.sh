#!/usr/bin/env bash
# Runs one whole walk through the program (walk_main: open tutorial.txt, steps 1 to 6, back and
# forward, zoom and scroll, save the report and the chart) under valgrind's memcheck. Fails on
# any memory error and on any definitely lost block; Qt's, fontconfig's and glib's own known
# reports are suppressed in qt.supp.
#
# Usage: tests/valgrind/run-walk.sh <build dir>    (a build without sanitizers, with tests)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:?usage: run-walk.sh <build dir>}
walk="$build/tests/valgrind/walk_main"

if [ ! -x "$walk" ]; then
  echo "run-walk.sh: $walk is missing; build the target walk_main first" >&2
  exit 2
fi
if ldd "$walk" | grep -q 'libasan'; then
  echo "run-walk.sh: $walk is built with AddressSanitizer, which valgrind cannot run" >&2
  exit 2
fi

export QT_QPA_PLATFORM=offscreen
# PCRE2 compiles Qt's regular expressions to machine code that memcheck cannot follow (its
# reports have no stack); the interpreter gives the same results.
export QT_ENABLE_REGEXP_JIT=0

exec valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite \
  --error-exitcode=1 --num-callers=40 --suppressions="$here/qt.supp" \
  "$walk" "$root/examples/tutorial.txt"
