#!/usr/bin/env bash
# Installs what is missing, builds both flavours and runs every test.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh

jobs=$(nproc)
cmake -S . -B build/native -G Ninja >/dev/null
ninja -C build/native -j "$jobs"
cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
ninja -C build/windows -j "$jobs"

. tools/wine-env.sh
status=0
ctest --test-dir build/native --output-on-failure -j "$jobs" || status=1
# One at a time: the Windows tests share one display, and windows of one test
# would take the focus and activation from another's.
ctest --test-dir build/windows --output-on-failure || status=1
# Leave no server or display behind for whoever runs next.
qel_wine_stop build/windows/wine
exit $status
