// The pieces of the image window procedure, shared by its files within the
// image subsystem: painting, the two pop-up menus and the command table.
// All of it runs on the worker thread, which owns the image windows.
#pragma once

#include <windows.h>

void paint_image_window(int slot, const RECT& area);   // copy the window's `area` from the slot
void show_image_menu(HWND window, int slot, bool tools); // the tools menu or the edit menu, at the cursor
void run_image_command(int slot, unsigned id);          // command table; ids outside it do nothing
