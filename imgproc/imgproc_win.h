// The Win32 side of drawing, as the other platform files see it: the
// TrueType text font, made at start-up before the worker runs and from then
// on used and replaced only by the worker (text drawing, the font dialog).
#pragma once

#include <windows.h>

void  create_tt_font();     // start-up, GUI thread
void  delete_tt_font();     // shut-down, GUI thread, after the worker has ended
HFONT tt_text_font();       // nullptr when it could not be made
bool  replace_tt_font(const LOGFONTW& description);   // false keeps the old font
