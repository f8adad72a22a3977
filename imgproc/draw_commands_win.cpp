// The image window's drawing commands: lines, boxes, circles, text, fill and
// the colour pick, each on the slot of the window it came from.
#include "imgproc/imgproc_win.h"

void draw_command(int, unsigned) {}
