// The main window: menu bar, status line, drop-in animation, pop-up menu,
// keys and commands. Win32 for the window itself and its menus. Whatever
// the commands do to the worker's windows is done there, through requests.
#include <windows.h>
#include <shellapi.h>

#include <iterator>
#include <memory>
#include <string>

#include "imageio/imageio_win.h"
#include "qellib.h"
#include "shell/shell_win.h"

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
  CreateWindowW(L"STATIC", L"Ready", WS_CHILD | WS_VISIBLE, 0, 6, 234, 20, window,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(status_line_id)), app_instance,
                nullptr);
  play_drop_in(window);
  HDC dc = GetDC(window);
  display_bits = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(window, dc);
  worker_thread = CreateThread(nullptr, 0, worker_thread_proc, nullptr, 0, nullptr);
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
  track_popup_menu(build_main_popup_menu(program_busy()), window);
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
    start_from_gui();
  else if (key == 'C')
    stop_from_gui();
}

void on_command(UINT id)
{
  switch (id) {
  case cmd_start: start_from_gui(); break;
  case cmd_stop: stop_from_gui(); break;
  case cmd_exit: run_exit(); break;
  case cmd_paste:
    // Ignored while the program runs or awaits a line, as its menu item is grey then.
    if (!program_busy())
      post_job(paste_as_image_window, nullptr);
    break;
  case cmd_image_window: post_job(image_window_dialogue, nullptr); break;
  case cmd_text_window: post_job(text_window_command, nullptr); break;
  case cmd_input_box: post_job(input_box_dialogue, nullptr); break;
  case cmd_button_box: post_job(button_box_dialogue, nullptr); break;
  case cmd_window_info: post_job(window_info_command, nullptr); break;
  default: break;
  }
}

// Status texts posted by the worker arrive as heap copies to be freed here.
void on_set_status(LPARAM text)
{
  const std::unique_ptr<std::wstring> owned(reinterpret_cast<std::wstring*>(text));
  SetDlgItemTextW(main_window, status_line_id, owned->c_str());
}

bool enabled_when_busy(UINT id, const void*) { return id == cmd_stop || id == cmd_exit; }

} // namespace

HMENU build_main_popup_menu(bool busy)
{
  static constexpr MenuRow rows[] = {
      {L"Paste\tCtrl+V", cmd_paste},       {nullptr, 0},
      {L"Start", cmd_start},               {L"Stop", cmd_stop},
      {L"E&xit", cmd_exit},                {nullptr, 0},
      {L"Image Window", cmd_image_window}, {L"Text Window", cmd_text_window},
      {L"Input Box", cmd_input_box},       {L"Button Box", cmd_button_box},
      {nullptr, 0},                        {L"&Window Info.\tCtrl+W", cmd_window_info},
  };
  return build_popup_menu(rows, std::size(rows), busy ? enabled_when_busy : nullptr, nullptr,
                          nullptr);
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
  case WM_MOVE:
  case WM_MOVING:
    return on_window_move(window, message, lparam);
  case WM_SIZING:
    // The main window keeps its size: the proposal becomes the current rectangle.
    GetWindowRect(window, reinterpret_cast<RECT*>(lparam));
    return 0;
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
    open_dropped_files(reinterpret_cast<HDROP>(wparam));
    return 0;
  case msg_open_startup_files:
    open_startup_files();
    return 0;
  case msg_set_status:
    on_set_status(lparam);
    return 0;
  case msg_accept_drops:
    DragAcceptFiles(window, wparam != 0);
    return 0;
  case msg_come_forward:
    SetForegroundWindow(window);
    return 0;
  default:
    return DefWindowProcW(window, message, wparam, lparam);
  }
}
