#!/usr/bin/env bash
# Builds the benchmark programs (release, no sanitizers) and runs them. Arguments go to the
# program (the number of runs).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DRIVUDO_SANITIZE=OFF -DRIVUDO_TESTS=OFF -DRIVUDO_BENCH=ON
cmake --build "$BUILD_DIR" -j"${JOBS:-3}" --target bench_intelhex
"$BUILD_DIR"/bin/bench_intelhex "$@"
cmake --build "$BUILD_DIR" -j"${JOBS:-3}" --target bench_project
"$BUILD_DIR"/bin/bench_project "$@"
