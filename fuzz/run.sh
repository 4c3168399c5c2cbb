#!/usr/bin/env bash
# Runs the data file reader fuzzer for a while on a scratch copy of the seed corpus.
# Usage: fuzz/run.sh <build dir> <seconds>
# Exits non-zero when the fuzzer finds a crash; the input is kept in fuzz/regressions/,
# where the unit tests replay it.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: $0 <build dir> <seconds>" >&2
  exit 2
fi
build_dir=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
fuzzer=$build_dir/fuzz/fuzz_data_reader
if [ ! -x "$fuzzer" ]; then
  echo "no fuzzer at $fuzzer (build the target fuzz_data_reader first)" >&2
  exit 2
fi

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$here"/seeds/* "$corpus"/
if compgen -G "$here/regressions/*" >/dev/null; then
  cp "$here"/regressions/* "$corpus"/
fi

ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
  "$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
  -dict="$here/data_reader.dict" -artifact_prefix="$here/regressions/" "$corpus"
