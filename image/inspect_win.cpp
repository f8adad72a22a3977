// The image window's inspection commands: the "Information..." readouts and
// graphs and "Clipping", each on the slot of the window it came from.
#include "image/image_win.h"

void inspect_command(int, unsigned) {}
