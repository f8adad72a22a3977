// The Win32 side of the image windows, as the other platform files see it:
// the window procedure the shell registers, a slot's window and memory DC
// (TrueType text, the clipboard and the point tools draw or repaint through
// them), and the image window's commands that the inspection and transform
// files carry out.
#pragma once

#include <windows.h>

LRESULT CALLBACK image_window_proc(HWND, UINT, WPARAM, LPARAM);
HWND slot_window(int slot);            // nullptr for a free slot or one out of range
HDC  slot_memory_dc(int slot);         // nullptr for a free slot or one out of range

// Commands of the image tools menu on the slot of the window they came from.
void inspect_command(int slot, unsigned id);   // "Information..." items and "Clipping"
void process_command(int slot, unsigned id);   // "Process..." and "Test Pattern..." items
