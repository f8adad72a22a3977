#!/usr/bin/env bash
# The chart generator end to end: start the real qellib.exe with a stereo pair
# on its command line and drive it through X only, as a user does (clicks to
# focus, keys, typing into the input box). The PNG files it writes must equal
# the charts the native build computes from the same picture.
#   chart_e2e.sh QELLIB_EXE PROBE_EXE CHART_EXPECT WINE_STATE SAMPLE_PNG
set -uo pipefail
exe=$1 probe_exe=$2 expect=$3 state=$4 sample=$5
. "$(dirname "$0")/../../tools/wine-env.sh"
qel_wine_env "$state" || exit 1
[ -x "$expect" ] || { echo "missing $expect: build the native flavour first (./test.sh does)"; exit 1; }

work=$(mktemp -d)
# The test runs alone: ending the Wine server on the way out leaves no copy
# of the program behind for the tests after it.
trap 'kill $program 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
cp "$sample" "$work/pair.png"
cd "$work"
convert pair.png pair.ppm && "$expect" pair.ppm . || { echo "native reference failed"; exit 1; }

fail() { echo "FAILED: $*"; exit 1; }
probe() { wine "$probe_exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
# Without --sync: xdotool then waits for a pointer motion that never comes
# (15 s) when the pointer is already there. The move and the click reach
# the X server in order on one connection anyway.
click_at() { xdotool mousemove "$1" "$2" click 1; }
# A click on a window's caption, or at a point given relative to its client
# area; either brings the window to the foreground before keys follow. A
# window closing at that moment (the turned copy after "Rcap") may hand the
# activation elsewhere: then the click is given again.
#   click TITLE | click TITLE X Y
click() {
  local l t ox oy _
  for _ in 1 2 3 4 5; do
    read -r l t ox oy < <(probe "$1" corners) || fail "no window '$1'"
    if [ $# = 1 ]; then click_at $((l + 40)) $((t + 8)); else click_at $((ox + $2)) $((oy + $3)); fi
    probe "$1" foreground 1 1000 && return 0
  done
  fail "'$1' did not come to the foreground"
}
key() { xdotool key --delay 60 "$@"; }
# A file is there once it has a size that two looks 50 ms apart agree on.
has_file() {
  local _ size last=0
  for _ in $(seq 1 "$2"); do
    size=$(stat -c %s "$1" 2>/dev/null || echo 0)
    [ "$size" -gt 0 ] && [ "$size" = "$last" ] && return 0
    last=$size
    sleep 0.05
  done
  return 1
}
wait_file() { has_file "$1" 200 || fail "no file $1"; }
same_pixels() {
  local diff
  diff=$(compare -metric AE "$1" "$2" null: 2>&1) || true
  [ "$diff" = "0" ] || fail "$1 differs from $2 in $diff pixels"
  echo "ok: $1 equals the native chart"
}

wine "$exe" pair.png </dev/null >program.log 2>&1 &
program=$!
main="QELLIB 7.3  2009/4/30"
probe "000 pair.png(100%)" shown 1 30000 || fail "the picture on the command line did not open"
probe "ButtonBox" shown 1 5000 || fail "no button box"

# S on the main window starts the generator.
click "$main"
key s
probe "Hello,there!(100%)" shown 1 20000 || fail "Start drew no chart"

# The button box's digit keys: 0 "cap", 1 "Rcap", 2 "lenz_check".
click "ButtonBox"
key 0
wait_file lenti_chart_4.000000_13.000000_640_480.png
key 1
wait_file lenti_chart_R_4.000000_13.000000_480_640.png
# The turned copy's window took the focus while it existed.
probe "Rcap(10%)" shown 0 5000 || fail "the turned copy stayed open"
click "ButtonBox"
# The run loop takes the buttons in number order within one pass: "cap"
# pressed with "lenz_check" in the same pass still saves the chart. Once the
# check pattern is drawn, "cap" saves it under its own name.
key 2
for _ in $(seq 1 20); do
  key 0
  has_file lenti_check_640_480.png 10 && break
done
wait_file lenti_check_640_480.png
key 2
same_pixels lenti_chart_4.000000_13.000000_640_480.png chart.ppm
same_pixels lenti_chart_R_4.000000_13.000000_480_640.png chart_R.ppm
same_pixels lenti_check_640_480.png check.ppm

# Width is the input box's item 6: its field starts right of the 80-pixel titles.
type_width() {
  click "InputBox" 120 $((6 * 28 + 16))
  key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
  xdotool type --delay 60 "$1"
  key Tab
}
# A refused width is put back in the field by the next pass of the run loop.
type_width 2000
probe InputBox edit6 640 5000 || fail "2000 was not refused: the field shows $(probe InputBox edit6)"
[ "$(probe 'Hello,there!(100%)' size)" = "640 480" ] || fail "a refused width changed the chart"
echo "ok: Width 2000 refused"
type_width 800
probe 'Hello,there!(100%)' size '800 480' 5000 || fail "Width 800 was not applied"
echo "ok: Width 800 accepted"

# "break" closes the images; X ends the program.
click "ButtonBox"
key 3
probe "Hello,there!(100%)" shown 0 5000 || fail "break left the chart open"
probe "000 pair.png(100%)" shown 0 5000 || fail "break left the source open"

# Without a new picture, Start asks for one in the "Pause" box.
click "$main"
key s
# The first message box of a fresh Wine prefix has been seen to take over
# 10 s: the bound is generous, the wait ends when the box is there.
probe "Pause" shown 1 60000 || fail "Start without a picture showed no Pause box"
# Keyboard focus on a message box is unreliable without a window manager:
# its OK button is pressed directly.
probe "Pause" ok
probe "Pause" shown 0 5000 || fail "the Pause box did not close"
echo "ok: Start without a picture asks for one"
click "$main"
key x
for _ in $(seq 1 100); do kill -0 $program 2>/dev/null || break; sleep 0.05; done
kill -0 $program 2>/dev/null && fail "the program did not end on X"
echo "e2e: passed"
