// What a waiting point tool asks of the platform: keep the worker's windows
// alive, talk to the main window, and repaint part of an image window. On
// Windows these are the worker's message pump, the main window's status line
// and drop acceptance, and InvalidateRect on the slot's window; natively a
// headless stand-in (point_tools_headless.h) that tests script.
// All are called on the worker thread.
#pragma once

#include "imgproc/rubber_band.h"

void tool_pump_messages();                     // dispatch the worker's pending messages (QEL_DoEvents); may sleep a moment when there are none
void tool_show_status(const char* text);       // the main window's status line
int  tool_display_bits();                      // colour depth of the display, for the idle status text
void tool_accept_drops(bool accept);           // whether the main window takes dropped files
void tool_invalidate(int slot, const PixelRect* image_rects, int count); // repaint those parts of the slot's window later, without erasing
