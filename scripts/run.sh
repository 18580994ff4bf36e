#!/usr/bin/env bash
# Installs the dependencies, builds a Release build and starts the program from the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DRIVUDO_TESTS=OFF
cmake --build "$BUILD_DIR" -j"$(nproc)"
exec "$BUILD_DIR/bin/DE_Rivudo" "$@"
