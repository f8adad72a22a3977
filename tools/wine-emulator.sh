#!/usr/bin/env bash
# CTest's emulator for Windows executables: wine-emulator.sh STATE_DIR EXE [ARGS...]
# Wine's helper processes (wineserver, services, explorer) outlive the test and
# would inherit CTest's pipes, so Wine writes to files that are copied out after.
set -uo pipefail
state=$1; shift
. "$(dirname "$0")/wine-env.sh"
qel_wine_env "$state" || exit 99
out=$(mktemp "$state/out.XXXXXX"); err=$(mktemp "$state/err.XXXXXX")
wine "$@" </dev/null >"$out" 2>"$err"
rc=$?
cat "$out"; cat "$err" >&2
rm -f "$out" "$err"
exit $rc
