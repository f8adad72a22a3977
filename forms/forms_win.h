// Win32 side of the input box and the button box, as the other platform
// files see them: the window procedures the shell registers, the dialog-key
// step of the worker's pump, and the calls other window procedures make
// (image windows press buttons by key). All of it is the worker thread's.
#pragma once

#include <windows.h>

#include <string>

LRESULT CALLBACK input_box_proc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK button_box_proc(HWND, UINT, WPARAM, LPARAM);

// Lets an open input box or button box take the dialog keys (Tab, Enter)
// of a message; true when it did.
bool forms_take_dialog_message(MSG& message);

HWND input_box_window();       // nullptr while no input box is open
HWND button_box_window();      // nullptr while no button box is open

// What the window report reads of the boxes besides their windows.
int  input_box_item_count();                        // 0 while no input box is open
void input_box_column_widths(int* label_width, int* edit_width);
std::string input_box_label(int item);              // ANSI, at most 254 bytes; "" for no such item
void button_box_grid(int* columns, int* rows);      // 0 by 0 while no button box is open
std::string button_box_caption(int button);         // ANSI, at most 254 bytes; "" for no such button

void PressButton(int button);          // sets the button's pressed flag to 1 if the box has it
void RenameInputBoxItem(int item);     // asks for a new title in the current text window
void RenameButton(int button);         // asks for a new button text in the current text window
