// The report of all open windows; not there yet, so Ctrl+W and the
// "&Window Info." item do nothing.
#include "text/text_win.h"

void write_window_report() {}
