#!/usr/bin/env bash
# The measurements behind docs/performance.md, outside CI: a release build, the benchmarks,
# the whole walk at 100k, 1M and 10M vectors, and a ten-minute fuzz run of the reader.
# Takes about half an hour and needs about 3 GB of free disk space in /tmp.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j "$(nproc)"
for bench in bench_reader bench_chart bench_steps; do
  build/release/bench/$bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
done
build/release/bench/bench_walk 100000 1000000 10000000
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMORVIK_BUILD_FUZZ=ON -DMORVIK_BUILD_TESTS=OFF -DMORVIK_BUILD_BENCH=OFF >/dev/null
cmake --build build/fuzz --target fuzz_data_reader
bash fuzz/run.sh build/fuzz 600
