// What the input box and the button box have in common as windows: the
// handle that counts as closed once the window has vanished, closing with an
// error box, renaming an item through a question in the text window, and
// the mouse, move and close messages both answer alike.
#pragma once

#include <windows.h>

#include <string>

// Client coordinates of a mouse message are signed 16-bit values.
inline int client_x(LPARAM lparam) { return static_cast<short>(LOWORD(lparam)); }
inline int client_y(LPARAM lparam) { return static_cast<short>(HIWORD(lparam)); }

// What a box of one kind says: its frame's menu item, the ids of its two
// menus, and the message box shown when its window will not go.
struct BoxTexts {
  const wchar_t* destroy_item;
  UINT destroy_id;
  UINT rename_id;
  const wchar_t* destroy_error;
  const wchar_t* destroy_error_caption;
};

// What a box of one kind does with its items.
struct BoxHooks {
  void (*forget_items)();                        // clears the kind's own records
  void (*after_close)();                         // what closing clears besides, or nullptr
  int (*item_at)(LPARAM position);               // item under a client position
  HWND (*item_control)(int item);                // the control showing it, nullptr if none
  void (*set_item_text)(int item, const char* text);
};

// One box window and how a box of its kind behaves.
struct BoxWindow {
  BoxTexts texts;
  BoxHooks hooks;
  HWND window = nullptr;
  int rename_item = 0;                           // item whose menu was opened last

  void forget();
  bool alive();        // a window that ended without being closed counts as closed
  void close();        // destroy the window (an error box if that fails) and forget it
  // Asks for a new text for the item and sets it, unless the answer is
  // empty or the item went away while the question waited.
  void rename(int item);
  std::string item_text(int item);   // ANSI, at most 254 bytes; "" for no such item
  // The messages both kinds handle alike: rename by double click and menu,
  // the frame's menu, moving and snapping, closing and the window's end.
  // True when handled.
  bool handle(HWND window, UINT message, LPARAM lparam);
  // A command from one of the two pop-up menus; true when it was one.
  bool handle_menu_command(UINT id, HWND control);
};
