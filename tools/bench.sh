#!/usr/bin/env bash
# Builds the benchmarks natively with optimisation and no sanitizers, then
# runs them; those of the real windows (bench/*_win.cpp) run under Wine from
# the Windows build, when it has been configured.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build/native-bench -G Ninja -DQEL_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build/native-bench
for b in build/native-bench/*_bench; do
  echo "== $(basename "$b")"
  "$b"
done
if [ -f build/windows/build.ninja ]; then
  for src in bench/*_win.cpp; do
    name=$(basename "$src" .cpp)
    ninja -C build/windows "$name"
    echo "== $name (Wine)"
    tools/wine-emulator.sh build/windows/wine "build/windows/$name.exe"
  done
fi
