// The shell's small services for every window kind: start-up values, the
// clock, the status line, menus from tables, ANSI window texts and the
// "Pause" box. Win32 for windows, menus and the performance counter.
#include "shell/app_win.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "qellib.h"

HINSTANCE app_instance = nullptr;
int instance_number = 0;
int display_bits = 0;
double ms_per_tick = 0.0;
HWND main_window = nullptr;
wchar_t open_dir[MAX_PATH];
wchar_t save_dir[MAX_PATH];
wchar_t log_dir[MAX_PATH];

static_assert(app_message_base == WM_APP, "private messages start at WM_APP");

namespace {

thread_local bool is_worker_thread = false;

// The text as it stands in the status line: at most 63 characters, after
// enough blanks to stand roughly centred.
std::wstring status_line_text(const char* text)
{
  char line[18 + 64];
  const int length = static_cast<int>(strnlen(text, 63));
  const int pad = length / 2 < 18 ? 18 - length / 2 : 0;
  std::memset(line, ' ', static_cast<size_t>(pad));
  std::memcpy(line + pad, text, static_cast<size_t>(length));
  line[pad + length] = 0;
  wchar_t wide[sizeof line];
  if (MultiByteToWideChar(CP_ACP, 0, line, -1, wide, static_cast<int>(sizeof line)) <= 0)
    wide[0] = 0;
  return wide;
}

bool on_main_window_thread()
{
  return main_window && GetWindowThreadProcessId(main_window, nullptr) == GetCurrentThreadId();
}

} // namespace

std::uint32_t ms_clock()
{
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<std::uint32_t>(
      static_cast<std::uint64_t>(static_cast<double>(counter.QuadPart) * ms_per_tick));
}

bool on_worker_thread() { return is_worker_thread; }
void mark_worker_thread() { is_worker_thread = true; }

void set_status_text(const char* text)
{
  if (!main_window || !text)
    return;
  if (on_main_window_thread()) {
    SetDlgItemTextW(main_window, status_line_id, status_line_text(text).c_str());
    return;
  }
  // The main window frees the copy when it shows it; a post that fails
  // (the window is gone) leaves it to be freed here.
  auto* copy = new std::wstring(status_line_text(text));
  if (!PostMessageW(main_window, msg_set_status, 0, reinterpret_cast<LPARAM>(copy)))
    delete copy;
}

void show_display_status()
{
  char status[32];
  std::snprintf(status, sizeof status, "%d-bit color", display_bits);
  set_status_text(status);
}

void accept_main_window_drops(bool accept)
{
  if (!main_window)
    return;
  if (on_main_window_thread())
    DragAcceptFiles(main_window, accept);
  else
    PostMessageW(main_window, msg_accept_drops, accept ? 1 : 0, 0);
}

bool bring_main_window_forward()
{
  if (!main_window)
    return false;
  if (on_main_window_thread())
    return SetForegroundWindow(main_window) != 0;
  return PostMessageW(main_window, msg_come_forward, 0, 0) != 0;
}

void insert_menu_item(HMENU menu, UINT position, const wchar_t* text, UINT id, bool enabled)
{
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_FTYPE;
  item.fType = MFT_STRING;
  item.fState = enabled ? MFS_ENABLED : (MFS_GRAYED | MFS_DISABLED);
  item.wID = id;
  item.dwTypeData = const_cast<wchar_t*>(text);
  InsertMenuItemW(menu, position, TRUE, &item);
}

void insert_menu_separator(HMENU menu, UINT position)
{
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_FTYPE;
  item.fType = MFT_SEPARATOR;
  InsertMenuItemW(menu, position, TRUE, &item);
}

HMENU build_popup_menu(const MenuRow* rows, int count, MenuPredicate enabled,
                       MenuPredicate checked, const void* context)
{
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < count; ++i) {
    const MenuRow& row = rows[i];
    const UINT position = static_cast<UINT>(i);
    if (!row.text) {
      insert_menu_separator(menu, position);
    } else if (row.sub_rows) {
      MENUITEMINFOW item{};
      item.cbSize = sizeof item;
      item.fMask = MIIM_STRING | MIIM_SUBMENU;
      item.dwTypeData = const_cast<wchar_t*>(row.text);
      item.hSubMenu = build_popup_menu(row.sub_rows, row.sub_count, enabled, checked, context);
      InsertMenuItemW(menu, position, TRUE, &item);
    } else {
      insert_menu_item(menu, position, row.text, row.id, !enabled || enabled(row.id, context));
      if (checked && checked(row.id, context))
        CheckMenuItem(menu, position, MF_BYPOSITION | MF_CHECKED);
    }
  }
  return menu;
}

void track_popup_menu(HMENU menu, HWND owner)
{
  POINT cursor;
  GetCursorPos(&cursor);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
  DestroyMenu(menu);
}

int wide_to_ansi(const wchar_t* wide, char* buffer, int size)
{
  if (size <= 0)
    return 0;
  // Each wide character of a line takes at most two ANSI bytes.
  char ansi[line_size * 2];
  if (WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, nullptr, nullptr) <= 0)
    ansi[0] = 0;
  // Cut at a whole character: half of a double-byte character would join
  // with whatever follows it.
  int length = 0;
  for (const char* p = ansi; *p;) {
    const int step = IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] ? 2 : 1;
    if (length + step > size - 1)
      break;
    length += step;
    p += step;
  }
  std::memcpy(buffer, ansi, static_cast<size_t>(length));
  buffer[length] = 0;
  return length;
}

int read_window_text(HWND window, char* buffer, int size)
{
  if (size <= 0)
    return 0;
  if (size > line_size)
    size = line_size;
  wchar_t wide[line_size];
  if (GetWindowTextW(window, wide, size) <= 0)
    wide[0] = 0;
  return wide_to_ansi(wide, buffer, size);
}

void set_window_text_ansi(HWND window, const char* text)
{
  if (!window)
    return;
  const int length = static_cast<int>(strnlen(text, line_size - 1));
  wchar_t wide[line_size];
  const int count = MultiByteToWideChar(CP_ACP, 0, text, length, wide, line_size - 1);
  wide[count > 0 ? count : 0] = 0;
  SetWindowTextW(window, wide);
}

// Once Exit is under way nobody is asked anything more.
void QEL_Pause(const char* text)
{
  if (qel_exit_requested())
    return;
  char line[line_size];
  std::strncpy(line, text ? text : "", line_size - 1);
  line[line_size - 1] = 0;
  wchar_t wide[line_size];
  MultiByteToWideChar(CP_ACP, 0, line, -1, wide, line_size);
  MessageBoxW(nullptr, wide, L"Pause", MB_OK);
}
