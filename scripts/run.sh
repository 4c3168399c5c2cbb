#!/usr/bin/env bash
# Installs what is missing, builds Morvik and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/app -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DMORVIK_BUILD_TESTS=OFF -DMORVIK_BUILD_BENCH=OFF >/dev/null
cmake --build build/app --target morvik
exec build/app/src/morvik
