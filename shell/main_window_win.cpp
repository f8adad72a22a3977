// The main window: menu bar, status line, drop-in animation, pop-up menu,
// keys and commands. Win32 for the window itself and its menus.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

#include "imageio/imageio_win.h"
#include "qellib.h"
#include "shell/shell_win.h"
#include "text/text_windows.h"

namespace {

// Vertical steps of the drop-in animation; they add up to 55.
constexpr int drop_in_offsets[] = {1, 2,  3,  4,  5,  6,  7,  8,  9,  10, -6, -5, -4, -3,
                                   -2, -1, 1, 2, 3, 4, 5, 6, -3, -2, -1, 1,  2,  3};

void busy_wait_since(std::uint32_t since, std::uint32_t ms)
{
  while (ms_clock() - since < ms) {
  }
}

void play_drop_in(HWND window)
{
  std::uint32_t last = ms_clock();
  for (const int offset : drop_in_offsets) {
    RECT rect;
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, rect.left, rect.top + offset, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    busy_wait_since(last, drop_in_step_ms);
    last = ms_clock();
  }
  busy_wait_since(last, drop_in_settle_ms);
}

void on_create(HWND window)
{
  // The worker, started below, owns windows that the main window owns in turn.
  main_window = window;
  status_line = CreateWindowW(L"STATIC", L"Ready", WS_CHILD | WS_VISIBLE, 0, 6, 234, 20, window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(status_line_id)),
                              app_instance, nullptr);
  play_drop_in(window);
  HDC dc = GetDC(window);
  display_bits = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(window, dc);
  worker_thread = CreateThread(nullptr, 0, worker_thread_proc, nullptr, 0, &worker_thread_id);
}

bool program_busy()
{
  return user_running.load(std::memory_order_acquire) != 0 ||
         line_input_owner.load(std::memory_order_acquire) != 0;
}

void show_popup_menu(HWND window)
{
  if (tool_active.load(std::memory_order_acquire))
    return;
  POINT cursor;
  GetCursorPos(&cursor);
  HMENU menu = build_main_popup_menu(program_busy());
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
  DestroyMenu(menu);
}

void on_key_down(HWND window, WPARAM key)
{
  if (GetKeyState(VK_CONTROL) < 0) {
    if (key == 'V')
      PostMessageW(window, WM_COMMAND, cmd_paste, 0);
    else if (key == 'W')
      PostMessageW(window, WM_COMMAND, cmd_window_info, 0);
    return;
  }
  if (key == 'X' || key == VK_ESCAPE)
    run_exit();
  else if (key == 'S')
    press_start();
  else if (key == 'C')
    press_stop();
}

// Reads a line in the current text window and converts it like atoi.
// Returns false when Exit was chosen while the line was awaited.
bool ask_number(const char* prompt, int& value)
{
  char line[line_size];
  QEL_Printf("%s", prompt);
  QEL_Gets(line);
  if (exit_state.load(std::memory_order_acquire) != 0)
    return false;
  value = std::atoi(line);
  return true;
}

void image_window_dialogue()
{
  post_open_text_window(0);
  QEL_Printf("Creating ImageWindow...\n");
  int width = 0, height = 0, bits = 0;
  if (!ask_number(" Width=", width) || !ask_number("Height=", height) ||
      !ask_number("Bit[32 or 8]=", bits))
    return;
  if (bits != 32 && bits != 8)
    return;
  const int slot = first_free_image_slot();
  if (slot < 0)
    return;
  char title[8];
  std::snprintf(title, sizeof title, "%03d", slot);
  post_create_image(slot, title, width, height, bits);
}

void open_first_free_text_window()
{
  for (int n = 0; n < text_window_count; ++n)
    if (!text_window_is_open(n)) {
      post_open_text_window(n);
      return;
    }
}

void input_box_dialogue()
{
  post_open_text_window(0);
  QEL_Printf("Creating InpuxBox...\n");
  int items = 0;
  if (ask_number("How many items? >", items))
    post_open_input_box(items);
}

void button_box_dialogue()
{
  post_open_text_window(0);
  QEL_Printf("Creating ButtonBox...\n");
  int columns = 0, rows = 0;
  if (ask_number("Number[X]=>", columns) && ask_number("Number[Y]=>", rows))
    post_open_button_box(columns, rows);
}

// The report is written by the current text window; text window 0 stands in
// when none is open.
void window_info()
{
  if (!current_text_window_open())
    post_open_text_window(0);
  if (current_text_window_open())
    PostMessageW(text_window(current_text_window()).window, WM_COMMAND, cmd_window_info, 0);
}

void on_command(UINT id)
{
  switch (id) {
  case cmd_start: press_start(); break;
  case cmd_stop: press_stop(); break;
  case cmd_exit: run_exit(); break;
  case cmd_image_window: image_window_dialogue(); break;
  case cmd_text_window: open_first_free_text_window(); break;
  case cmd_input_box: input_box_dialogue(); break;
  case cmd_button_box: button_box_dialogue(); break;
  case cmd_window_info: window_info(); break;
  default: break;
  }
}

} // namespace

HMENU build_main_popup_menu(bool busy)
{
  struct Row {
    const wchar_t* text;  // nullptr for a separator
    UINT id;
  };
  static const Row rows[] = {
      {L"Paste\tCtrl+V", cmd_paste},   {nullptr, 0},
      {L"Start", cmd_start},           {L"Stop", cmd_stop},
      {L"E&xit", cmd_exit},            {nullptr, 0},
      {L"Image Window", cmd_image_window}, {L"Text Window", cmd_text_window},
      {L"Input Box", cmd_input_box},   {L"Button Box", cmd_button_box},
      {nullptr, 0},                    {L"&Window Info.\tCtrl+W", cmd_window_info},
  };
  HMENU menu = CreatePopupMenu();
  UINT position = 0;
  for (const Row& row : rows) {
    if (!row.text)
      insert_menu_separator(menu, position++);
    else
      insert_menu_item(menu, position++, row.text, row.id,
                       !busy || row.id == cmd_stop || row.id == cmd_exit);
  }
  return menu;
}

LRESULT CALLBACK main_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
  switch (message) {
  case WM_CREATE:
    on_create(window);
    return 0;
  case WM_DESTROY:
    PostQuitMessage(0);
    return 0;
  case WM_SIZING: {
    // The main window keeps its size: the proposal becomes the current rectangle.
    GetWindowRect(window, reinterpret_cast<RECT*>(lparam));
    return 0;
  }
  case WM_RBUTTONDOWN:
  case WM_NCRBUTTONDOWN:
    show_popup_menu(window);
    return 0;
  case WM_KEYDOWN:
    on_key_down(window, wparam);
    return 0;
  case WM_COMMAND:
    on_command(LOWORD(wparam));
    return 0;
  case WM_DROPFILES:
    handle_dropped_files(reinterpret_cast<HDROP>(wparam));
    return 0;
  case msg_open_startup_files:
    open_startup_files();
    return 0;
  default:
    return DefWindowProcW(window, message, wparam, lparam);
  }
}
