#!/usr/bin/env bash
# Installs the dependencies, builds everything with the sanitizers and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build-test}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Debug -DRIVUDO_SANITIZE=ON -DRIVUDO_TESTS=ON
cmake --build "$BUILD_DIR" -j"${JOBS:-$(nproc)}"
cd "$BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"${JOBS:-$(nproc)}"
