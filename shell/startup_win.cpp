// Process start-up and shut-down on the GUI thread. Win32 is needed for the
// instance probe, window classes, GDI+ and the performance counter.
#include <windows.h>
#include <gdiplus.h>

#include <cwchar>

#include "forms/forms_win.h"
#include "image/image_win.h"
#include "image/slots.h"
#include "imageio/imageio_win.h"
#include "imgproc/imgproc_win.h"
#include "qellib.h"
#include "shell/drawing_defaults.h"
#include "shell/shell_win.h"
#include "text/log_file.h"
#include "text/text_win.h"
#include "text/text_windows.h"

std::uint32_t drop_in_step_ms = 20;
std::uint32_t drop_in_settle_ms = 500;

namespace {

wchar_t main_class_name[16];

// The first free number 0..9 among running copies, or -1 when ten run.
int probe_instance_number()
{
  for (int n = 0; n < 10; ++n) {
    wchar_t name[16];
    std::swprintf(name, 16, main_window_class_format, n);
    if (!FindWindowW(name, nullptr))
      return n;
  }
  return -1;
}

void capture_startup_directories()
{
  GetCurrentDirectoryW(MAX_PATH, open_dir);
  GetCurrentDirectoryW(MAX_PATH, save_dir);
  GetCurrentDirectoryW(MAX_PATH, log_dir);
  const size_t length = std::wcslen(log_dir);
  if (length == 0 || (log_dir[length - 1] != L'\\' && length + 1 < MAX_PATH)) {
    log_dir[length] = L'\\';
    log_dir[length + 1] = 0;
  }
}

struct ClassRow {
  const wchar_t* name;
  WNDPROC procedure;
  UINT style;
  HBRUSH background;
};

// A class left registered by an earlier run in this process is ours already.
bool register_class(const ClassRow& row)
{
  WNDCLASSW wc{};
  wc.style = row.style;
  wc.lpfnWndProc = row.procedure;
  wc.hInstance = app_instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = row.background;
  wc.lpszClassName = row.name;
  return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool register_window_classes()
{
  const HBRUSH face = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  const ClassRow rows[] = {
      {main_class_name, main_window_proc, CS_CLASSDC, face},
      {image_window_class, image_window_proc, CS_OWNDC, black},
      {text_window_class, text_window_proc, CS_OWNDC, black},
      {input_box_class, input_box_proc, CS_OWNDC | CS_DBLCLKS, face},
      {button_box_class, button_box_proc, CS_OWNDC | CS_DBLCLKS, face},
  };
  for (const ClassRow& row : rows)
    if (!register_class(row))
      return false;
  return true;
}

void unregister_window_classes()
{
  for (const wchar_t* name : {static_cast<const wchar_t*>(main_class_name), image_window_class,
                              text_window_class, input_box_class, button_box_class})
    UnregisterClassW(name, app_instance);
}

HMENU create_menu_bar()
{
  HMENU bar = CreateMenu();
  insert_menu_item(bar, 0, L"Start(&S)", cmd_start, true);
  insert_menu_item(bar, 1, L"Stop(&C)", cmd_stop, true);
  insert_menu_item(bar, 2, L"Exit(&X)", cmd_exit, true);
  return bar;
}

// Bottom centre of the work area, 55 pixels above the resting place that the
// drop-in animation brings it to: its bottom edge then meets the work area's,
// above any task bar. (The full-screen metrics say the same on Windows, but
// not under Wine, where they reach past the screen's bottom.)
HWND create_main_window(HMENU menu_bar)
{
  const DWORD style = WS_VISIBLE | WS_CAPTION | WS_THICKFRAME;
  RECT rect{0, 0, 240, GetSystemMetrics(SM_CYMENU) + 32};
  AdjustWindowRect(&rect, style, FALSE);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int left = work.left + (work.right - work.left - width) / 2;
  const int top = work.bottom - height - 55;
  wchar_t title[64];
  MultiByteToWideChar(CP_ACP, 0, framework_banner, -1, title, 64);
  return CreateWindowW(main_class_name, title, style, left, top, width, height, nullptr, menu_bar,
                       app_instance, nullptr);
}

void run_message_loop()
{
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The state every start begins from; tests start the framework many times
// in one process.
void reset_subsystems()
{
  reset_run_control();
  reset_image_slots();
  reset_text_windows();
  reset_line_input();
  reset_drawing_state();
}

} // namespace

int run_framework(HINSTANCE instance)
{
  instance_number = probe_instance_number();
  if (instance_number < 0) {
    MessageBoxW(nullptr, L"Over instance limit!", L"QELLIB", MB_OK);
    return 1;
  }
  std::swprintf(main_class_name, 16, main_window_class_format, instance_number);

  ULONG_PTR gdiplus_token = 0;
  Gdiplus::GdiplusStartupInput gdiplus_input;
  Gdiplus::GdiplusStartup(&gdiplus_token, &gdiplus_input, nullptr);

  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  ms_per_tick = 1000.0 / static_cast<double>(frequency.QuadPart);

  reset_subsystems();
  app_instance = instance;
  capture_startup_directories();
  char log_folder[MAX_PATH * 2];
  if (WideCharToMultiByte(CP_ACP, 0, log_dir, -1, log_folder, sizeof log_folder, nullptr, nullptr) <= 0)
    log_folder[0] = 0;
  set_log_location(log_folder, instance_number);
  set_dialog_filter(forms_take_dialog_message);

  int result = 1;
  if (register_window_classes()) {
    HMENU menu_bar = create_menu_bar();
    // The worker starts with the main window and may draw text at once.
    create_tt_font();
    main_window = create_main_window(menu_bar);
    if (main_window) {
      show_display_status();
      DragAcceptFiles(main_window, TRUE);
      PostMessageW(main_window, msg_open_startup_files, 0, 0);
      UpdateWindow(main_window);
      run_message_loop();
      result = 0;
    }
    delete_tt_font();
    DestroyMenu(menu_bar);
    main_window = nullptr;
    unregister_window_classes();
  }
  Gdiplus::GdiplusShutdown(gdiplus_token);
  return result;
}
