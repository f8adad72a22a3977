#!/usr/bin/env bash
# Builds the benchmarks natively with optimisation and no sanitizers, then runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/native-bench -G Ninja -DQEL_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build/native-bench
for b in build/native-bench/*_bench; do
  echo "== $(basename "$b")"
  "$b"
done
