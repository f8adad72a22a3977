#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it under Wine, on
# the user's display if there is one, else on a private Xvfb. Arguments are
# passed to the program (files named there open as if dropped on it); with
# none, the sample stereo pair is opened.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
ninja -C build/windows qellib_exe

. tools/wine-env.sh
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  export QEL_USE_OWN_DISPLAY=1
fi
qel_wine_env build/run
if [ $# -eq 0 ] && [ -f docs/sample_stereo_pair.png ]; then
  set -- "$(winepath -w docs/sample_stereo_pair.png)"
fi
echo "qellib.exe is running on display $DISPLAY (Exit from its main window ends it)."
exec wine build/windows/qellib.exe "$@"
