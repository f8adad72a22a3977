// Win32 side of the input box and the button box, shared by their files and
// reached by other window procedures (image windows press buttons by key).
#pragma once

#include <windows.h>

HWND input_box_window();       // nullptr while no input box is open
HWND button_box_window();      // nullptr while no button box is open

void PressButton(int button);          // sets the button's pressed flag to 1 if the box has it
void RenameInputBoxItem(int item);     // asks for a new title in the current text window
void RenameButton(int button);         // asks for a new button text in the current text window

// Shared by both boxes.
void set_window_text_ansi(HWND window, const char* text);   // at most 255 bytes of text
void show_single_item_menu(HWND owner, const wchar_t* text, UINT id);  // at the cursor, right button
// Prints "%d '%s' ->" in the current text window (text window 0 if none is
// open) and reads the answer into line (line_size bytes); "" when aborted.
void ask_for_name(int index, const char* current, char* line);
