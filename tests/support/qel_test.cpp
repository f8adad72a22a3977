#include "qel_test.h"

#include "shell/shell_win.h"

#include <shlobj.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <thread>
#include <utility>

TestHooks test_hooks;

namespace {

std::thread gui_thread;
std::atomic<int> framework_result{-1};
std::atomic<bool> framework_ended{false};
std::atomic<bool> setup_done{false};

std::string narrow(const wchar_t* wide)
{
  char buffer[1024];
  if (WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr) <= 0)
    return {};
  return buffer;
}

// A visible top-level window of this process with that class: "#32770" a
// message box or dialog, "#32768" a pop-up menu.
HWND find_own_window(const wchar_t* class_name)
{
  struct Search {
    const wchar_t* class_name;
    HWND found;
  } search{class_name, nullptr};
  EnumWindows(
      [](HWND window, LPARAM lparam) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lparam);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t name[16];
        if (process == GetCurrentProcessId() && IsWindowVisible(window) && GetClassNameW(window, name, 16) &&
            lstrcmpW(name, s->class_name) == 0)
          s->found = window;
        return s->found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

} // namespace

void user_setup()
{
  if (test_hooks.setup)
    test_hooks.setup();
  setup_done = true;
}

void user_main()
{
  if (test_hooks.main)
    test_hooks.main();
}

bool wait_until(const std::function<bool()>& condition, int timeout_ms)
{
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (static_cast<int>(GetTickCount() - start) > timeout_ms)
      return false;
    Sleep(1);
  }
  return true;
}

bool start_framework(StartOptions options)
{
  drop_in_step_ms = options.animate ? 20 : 0;
  drop_in_settle_ms = options.animate ? 500 : 0;
  setup_done = false;
  framework_ended = false;
  main_window = nullptr;
  gui_thread = std::thread([] {
    framework_result = run_framework(GetModuleHandleW(nullptr));
    framework_ended = true;
  });
  return wait_until([] { return framework_ended.load() || (main_window && setup_done.load()); },
                    10000) &&
         !framework_ended.load();
}

int stop_framework(int timeout_ms)
{
  if (!gui_thread.joinable())
    return -1;
  if (!framework_ended && main_window)
    PostMessageW(main_window, WM_COMMAND, cmd_exit, 0);
  if (!wait_until([] { return framework_ended.load(); }, timeout_ms)) {
    gui_thread.detach();
    return -1;
  }
  gui_thread.join();
  return framework_result;
}

Framework::~Framework()
{
  stop_framework();
  test_hooks = {};
  set_startup_files({});
}

LRESULT send(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
  return SendMessageW(window, message, wparam, lparam);
}

void post(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
  PostMessageW(window, message, wparam, lparam);
}

void set_key_state(int key, bool down)
{
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[key] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

// The receiving thread reads Ctrl from its keyboard state; sharing input
// state with it lets the test hold the key for exactly as long as it wants.
HoldCtrl::HoldCtrl(HWND window)
    : self_(GetCurrentThreadId()), target_(GetWindowThreadProcessId(window, nullptr))
{
  AttachThreadInput(self_, target_, TRUE);
  set_key_state(VK_CONTROL, true);
}

HoldCtrl::~HoldCtrl()
{
  set_key_state(VK_CONTROL, false);
  AttachThreadInput(self_, target_, FALSE);
}

void press_key(HWND window, WPARAM key, bool ctrl)
{
  std::optional<HoldCtrl> held;
  if (ctrl)
    held.emplace(window);
  SendMessageW(window, WM_KEYDOWN, key, 1);
}

HDROP make_drop(const std::vector<std::wstring>& paths)
{
  std::wstring names;
  for (const std::wstring& p : paths)
    names += p + L'\0';
  names += L'\0';
  const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

std::string window_text(HWND window)
{
  wchar_t text[512];
  GetWindowTextW(window, text, 512);
  return narrow(text);
}

bool status_shows(const char* text)
{
  return wait_until([text] {
    return window_text(GetDlgItem(main_window, status_line_id)).find(text) != std::string::npos;
  });
}

std::string file_text(const std::string& name)
{
  std::ostringstream text;
  text << std::ifstream(name, std::ios::binary).rdbuf();
  return text.str();
}

bool set_clipboard(UINT format, const void* data, size_t size)
{
  // Without an owner window, EmptyClipboard leaves none and SetClipboardData fails.
  const HWND owner = CreateWindowW(L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
  const bool opened = wait_until([owner] { return OpenClipboard(owner) != 0; });
  if (opened) {
    EmptyClipboard();
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
    SetClipboardData(format, block);
    CloseClipboard();
  }
  DestroyWindow(owner);
  return opened;
}

HBITMAP make_dib(int w, int h, std::uint32_t** pixels)
{
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  *pixels = static_cast<std::uint32_t*>(bits);
  return bitmap;
}

std::vector<std::uint32_t> window_pixels(HWND window, int w, int h, int x0, int y0)
{
  std::uint32_t* pixels = nullptr;
  const HBITMAP copy = make_dib(w, h, &pixels);
  const HDC window_dc = GetDC(window);
  const HDC dc = CreateCompatibleDC(window_dc);
  const HGDIOBJ old = SelectObject(dc, copy);
  BitBlt(dc, 0, 0, w, h, window_dc, x0, y0, SRCCOPY);
  GdiFlush();
  std::vector<std::uint32_t> read(pixels, pixels + static_cast<size_t>(w) * h);
  for (std::uint32_t& p : read)
    p &= 0xFFFFFF;
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(window, window_dc);
  DeleteObject(copy);
  return read;
}

int mismatches(HWND window, int w, int h, const std::function<std::uint32_t(int, int)>& expected,
               int x0, int y0)
{
  const std::vector<std::uint32_t> read = window_pixels(window, w, h, x0, y0);
  int bad = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bad += read[static_cast<size_t>(y) * w + x] != expected(x0 + x, y0 + y);
  return bad;
}

RECT window_rect(HWND window)
{
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT client_rect(HWND window)
{
  RECT rect{};
  GetClientRect(window, &rect);
  return rect;
}

MessageBoxAnswerer::MessageBoxAnswerer(int button_id) : button_id_(button_id)
{
  thread_ = std::thread([this] {
    HWND answered = nullptr;
    while (running_) {
      const HWND found = find_own_window(L"#32770");
      if (found && found != answered) {
        wchar_t caption[256], text[1024] = L"";
        GetWindowTextW(found, caption, 256);
        // The text of a message box is its static control with id 0xFFFF.
        if (HWND label = GetDlgItem(found, 0xFFFF))
          GetWindowTextW(label, text, 1024);
        {
          std::lock_guard lock(mutex_);
          seen_.push_back({narrow(caption), narrow(text)});
        }
        answered = found;
        PostMessageW(found, WM_COMMAND, static_cast<WPARAM>(button_id_), 0);
      }
      Sleep(5);
    }
  });
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
  running_ = false;
  thread_.join();
}

std::vector<MessageBoxAnswerer::Seen> MessageBoxAnswerer::seen() const
{
  std::lock_guard lock(mutex_);
  return seen_;
}

bool MessageBoxAnswerer::wait_for(size_t count, int timeout_ms) const
{
  return wait_until([&] { return seen().size() >= count; }, timeout_ms);
}

bool context_menu_open() { return find_own_window(L"#32768") != nullptr; }

std::vector<MenuItemView> open_context_menu(HWND window, UINT click_message, POINT at, WPARAM keys)
{
  std::vector<MenuItemView> items;
  PostMessageW(window, click_message, keys, MAKELPARAM(at.x, at.y));
  HWND menu_window = nullptr;
  if (!wait_until([&] { return (menu_window = find_own_window(L"#32768")) != nullptr; }, 2000))
    return items;
  const HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menu_window, MN_GETHMENU, 0, 0));
  auto read_item = [](HMENU from, int i) {
    wchar_t text[256] = L"";
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = 256;
    GetMenuItemInfoW(from, static_cast<UINT>(i), TRUE, &info);
    MenuItemView item{(info.fType & MFT_SEPARATOR) ? std::string() : narrow(text), info.wID,
                      !(info.fState & (MFS_GRAYED | MFS_DISABLED)),
                      (info.fState & MFS_CHECKED) != 0, {}};
    return std::pair(item, info.hSubMenu);
  };
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    auto [item, sub] = read_item(menu, i);
    for (int j = 0; sub && j < GetMenuItemCount(sub); ++j)
      item.sub_items.push_back(read_item(sub, j).first.text);
    items.push_back(item);
  }
  // Escape closes a tracked menu; the menu loop reads it from its thread's queue.
  for (int attempt = 0; attempt < 50 && find_own_window(L"#32768"); ++attempt) {
    PostMessageW(menu_window, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(20);
  }
  return items;
}

HWND wait_for_dialog(const wchar_t* title)
{
  HWND found = nullptr;
  wait_until([&] {
    found = FindWindowW(L"#32770", title);
    return found && IsWindowVisible(found);
  }, 10000);
  return found;
}

bool press_dialog_button(HWND dialog, int id)
{
  for (int attempt = 0; attempt < 10; ++attempt) {
    post(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    if (wait_until([&] { return !IsWindow(dialog); }, 500))
      return true;
  }
  post(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  wait_until([&] { return !IsWindow(dialog); }, 2000);
  return false;
}

HWND file_name_box(HWND dialog)
{
  // cmb13, the file name combo of newer dialogs, or edt1 of older ones.
  HWND box = GetDlgItem(dialog, 0x47C);
  return box ? box : GetDlgItem(dialog, 0x480);
}
