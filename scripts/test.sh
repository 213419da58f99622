#!/usr/bin/env bash
# Installs what the build needs, builds everything and runs the whole suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
BUILD=${BUILD:-build}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$BUILD" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen DBUS_SESSION_BUS_ADDRESS=disabled:
ctest --test-dir "$BUILD" --output-on-failure -j"$(nproc)"
