#!/usr/bin/env bash
# The window report's round trip. The arranger lays out windows of every kind
# and runs the report; the source it put on the clipboard is compiled, as it
# stands, into a user program with the cross compiler and this build's
# framework library. Run under Wine, that program must show the same windows
# (kinds, slots, places, sizes, zooms, titles) and generate the same source.
#   layout_e2e.sh ARRANGER_EXE PROGRAM_CPP SOURCE_DIR WINE_STATE CXX LIBRARY...
set -uo pipefail
arranger=$1 program=$2 src=$3 state=$4 cxx=$5
shift 5
. "$src/tools/wine-env.sh"
qel_wine_env "$state" || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
fail() { echo "FAILED: $*"; exit 1; }
run() {
  timeout 60 wine "$1" </dev/null >"$2.log" 2>&1 || { cat "$2.log"; fail "$2 did not end by itself"; }
  [ -s "$2_source.inc" ] || fail "$2 put no source on the clipboard"
}

run "$arranger" arranged
for want in "QEL_CreateImage(0," "QEL_CreateImageFL(2," "QEL_CreateImage8(4," \
            "QEL_CreateImage8FL(9," "QEL_OpenTextWindow(5," "QEL_ResizeInputBox(110,90)" \
            'QEL_SetButtonBoxTitle(4,"two\nlines\\");'; do
  grep -qF "$want" arranged_source.inc || fail "no $want in the generated source"
done
echo "ok: the arranger's report generated $(wc -l <arranged_source.inc) lines"

"$cxx" -std=c++20 -DUNICODE -D_UNICODE -DNOMINMAX -DQEL_LAYOUT_SOURCE='"arranged_source.inc"' \
  -I"$src" -I"$src/tests/support" -I"$work" "$program" -o rebuilt.exe -mwindows -static -static-libgcc -static-libstdc++ \
  -Wl,-u,WinMain -Wl,--start-group "$@" -Wl,--end-group \
  -lgdiplus -lcomdlg32 -lshell32 -lgdi32 -luser32 -lkernel32 || fail "the generated source does not compile"
echo "ok: the generated source compiles in a user program"

run ./rebuilt.exe rebuilt
[ "$(grep -c '^qel_iw' arranged_windows.txt) $(grep -c '^qel_twi' arranged_windows.txt)" = "4 2" ] ||
  fail "the arranger shows $(cat arranged_windows.txt)"
diff arranged_windows.txt rebuilt_windows.txt || fail "the rebuilt windows differ"
diff arranged_source.inc rebuilt_source.inc || fail "the rebuilt layout reports other source"
echo "e2e layout round trip: passed"
