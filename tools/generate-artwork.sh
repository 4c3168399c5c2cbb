#!/usr/bin/env bash
# Rebuilds the committed artwork: the help pictures and the window icon in
# src/windows/resources/, the larger icons in packaging/icons/. Look at them before committing.
# The formulas are set in Liberation Serif (fonts-liberation2); other fonts change the pictures.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ARTWORK_BUILD_DIR:-$root/build-artwork}"
cmake -S "$root/tools/artwork" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build"
mkdir -p "$root/src/windows/resources/help" "$root/src/windows/resources/icon" "$root/packaging/icons"
QT_QPA_PLATFORM=offscreen "$build/morvik-artwork" "$root/src/windows/resources" "$root/packaging/icons"
