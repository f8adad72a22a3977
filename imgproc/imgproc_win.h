// The Win32 side of drawing, as the other platform files see it: the
// TrueType text font, made at start-up before the worker runs and from then
// on used and replaced only by the worker (text drawing, the font dialog);
// the dialogs that set the drawing state; the image window's drawing commands.
#pragma once

#include <windows.h>

void  create_tt_font();     // start-up, GUI thread
void  delete_tt_font();     // shut-down, GUI thread, after the worker has ended
HFONT tt_text_font();       // nullptr when it could not be made
bool  replace_tt_font(const LOGFONTW& description);   // false keeps the old font

// Dialogs owned by `owner`, on the worker thread.
void choose_drawing_colour(HWND owner);   // the colour becomes qel_draw_colour, qel_tc and qel_tttc
void choose_text_font(HWND owner);        // OK replaces the TrueType text font

// The image window's drawing commands (lines, boxes, circles, text, fill,
// colour pick) on the slot of the window they came from.
void draw_command(int slot, unsigned id);
