#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice (a release
# build, then one under AddressSanitizer + UndefinedBehaviorSanitizer) and a short fuzz run
# of the data file reader.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== release build and tests"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMORVIK_BUILD_TESTS=ON \
  -DMORVIK_BUILD_BENCH=ON >/dev/null
cmake --build build/release -j "$jobs"
ctest --test-dir build/release --output-on-failure --no-tests=error -j "$jobs"

echo "== one whole walk under valgrind memcheck"
bash tests/valgrind/run-walk.sh build/release

echo "== sanitizer build (address, undefined) and tests"
cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVIK_SANITIZE=ON -DMORVIK_BUILD_TESTS=ON \
  -DMORVIK_BUILD_BENCH=OFF >/dev/null
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/sanitize --output-on-failure --no-tests=error -j "$jobs"

if [ -f fuzz/CMakeLists.txt ]; then
  echo "== fuzz the data file reader (30 s)"
  CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMORVIK_BUILD_FUZZ=ON -DMORVIK_BUILD_TESTS=OFF -DMORVIK_BUILD_BENCH=OFF >/dev/null
  cmake --build build/fuzz --target fuzz_data_reader
  bash fuzz/run.sh build/fuzz 30
fi
