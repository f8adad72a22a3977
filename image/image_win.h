// The Win32 side of the image windows, as the other platform files see it:
// the window procedure the shell registers and a slot's memory DC, which
// TrueType text and the clipboard draw through.
#pragma once

#include <windows.h>

LRESULT CALLBACK image_window_proc(HWND, UINT, WPARAM, LPARAM);
HDC slot_memory_dc(int slot);          // nullptr for a free slot or one out of range
