#!/usr/bin/env bash
# Builds the benchmark programs (release, no sanitizers), runs them and ends with the table of
# figures. Usage: scripts/bench.sh [runs]   (BENCH_ONLY="intelhex startup project scan curves pages iopage" picks).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-bench}
RUNS=${1:-}
ONLY=${BENCH_ONLY:-intelhex startup project scan curves pages iopage}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DRIVUDO_SANITIZE=OFF -DRIVUDO_TESTS=ON -DRIVUDO_BENCH=ON >/dev/null
targets=()
for b in $ONLY; do targets+=("bench_$b"); done
cmake --build "$BUILD_DIR" -j"${JOBS:-3}" --target "${targets[@]}" >/dev/null
echo "load before: $(cat /proc/loadavg)"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for b in $ONLY; do
  # The scan runs once by default: one run takes as long as the scan does.
  if [ "$b" = scan ]; then "$BUILD_DIR/bin/bench_$b" | tee -a "$log"
  else "$BUILD_DIR/bin/bench_$b" $RUNS | tee -a "$log"; fi
  echo
done
echo "load after: $(cat /proc/loadavg)"
echo
printf '| %-42s | %-62s | %-28s | %-7s |\n' figure measured goal status
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..44})" "$(printf -- '-%.0s' {1..64})" "$(printf -- '-%.0s' {1..30})" "$(printf -- '-%.0s' {1..9})"
grep '^TABLE|' "$log" | while IFS='|' read -r _ figure value goal status; do
  printf '| %-42s | %-62s | %-28s | %-7s |\n' "$figure" "$value" "$goal" "$status"
done
