// A small Windows console tool for end-to-end tests: it looks at the windows
// of another program under the same desktop, as a user would see them.
//   probe wait-window TITLE MS       exit 0 once a top-level window has that title
//   probe gone-window TITLE MS       exit 0 once no top-level window has it
//   probe wait-foreground TITLE MS   exit 0 once the window with that title is in the foreground
//   probe wait-edit-text TITLE N TEXT MS   exit 0 once its N-th edit field shows TEXT
//   probe wait-client-size TITLE W H MS    exit 0 once its client area is W x H
//   probe window-rect TITLE          "left top right bottom" of the window
//   probe client-origin TITLE        screen position of the client area's corner
//   probe client-size TITLE          "width height" of the client area
//   probe edit-text TITLE N          text of the window's N-th edit field
//   probe press-ok TITLE             the window's OK button, as a click gives it
//   probe titles                     every visible top-level title, one a line
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string narrow(const wchar_t* wide)
{
  char buffer[1024];
  if (WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr) <= 0)
    return {};
  return buffer;
}

HWND find_titled(const std::string& title)
{
  struct Search {
    std::string title;
    HWND found;
  } search{title, nullptr};
  EnumWindows(
      [](HWND w, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        wchar_t text[512];
        GetWindowTextW(w, text, 512);
        if (IsWindowVisible(w) && narrow(text) == s->title) {
          s->found = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

template <class Condition>
bool wait_for(int ms, Condition holds)
{
  for (int waited = 0; waited <= ms; waited += 20) {
    if (holds())
      return true;
    Sleep(20);
  }
  return false;
}

HWND nth_edit(HWND parent, int n)
{
  std::vector<HWND> edits;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t class_name[16];
    if (GetClassNameW(child, class_name, 16) && lstrcmpiW(class_name, L"Edit") == 0)
      edits.push_back(child);
  }
  return n >= 0 && n < static_cast<int>(edits.size()) ? edits[static_cast<size_t>(n)] : nullptr;
}

std::string edit_text(HWND window, int n)
{
  HWND edit = nth_edit(window, n);
  if (!edit)
    return {};
  wchar_t text[512] = L"";
  SendMessageW(edit, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return narrow(text);
}

} // namespace

int main(int argc, char** argv)
{
  if (argc < 2)
    return 2;
  const std::string command = argv[1];
  if (command == "titles") {
    EnumWindows(
        [](HWND w, LPARAM) -> BOOL {
          wchar_t text[512];
          if (IsWindowVisible(w) && GetWindowTextW(w, text, 512) > 0)
            std::printf("%s\n", narrow(text).c_str());
          return TRUE;
        },
        0);
    return 0;
  }
  if (argc < 3)
    return 2;
  const std::string title = argv[2];
  const int limit = std::atoi(argv[argc - 1]);
  if (command == "wait-window")
    return wait_for(limit, [&] { return find_titled(title) != nullptr; }) ? 0 : 1;
  if (command == "gone-window")
    return wait_for(limit, [&] { return find_titled(title) == nullptr; }) ? 0 : 1;
  if (command == "wait-foreground")
    return wait_for(limit, [&] {
             HWND w = find_titled(title);
             return w && GetForegroundWindow() == w;
           }) ? 0 : 1;
  if (command == "wait-edit-text" && argc > 5)
    return wait_for(limit, [&] {
             HWND w = find_titled(title);
             return w && edit_text(w, std::atoi(argv[3])) == argv[4];
           }) ? 0 : 1;
  if (command == "wait-client-size" && argc > 5)
    return wait_for(limit, [&] {
             RECT r;
             HWND w = find_titled(title);
             return w && GetClientRect(w, &r) && r.right == std::atoi(argv[3]) &&
                    r.bottom == std::atoi(argv[4]);
           }) ? 0 : 1;
  // The window may be a moment from showing (a box closing hands the
  // activation around): look for it for up to 5 s.
  HWND window = nullptr;
  if (!wait_for(5000, [&] { return (window = find_titled(title)) != nullptr; }))
    return 1;
  if (command == "window-rect") {
    RECT r;
    GetWindowRect(window, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
  } else if (command == "press-ok") {
    PostMessageW(window, WM_COMMAND, IDOK, 0);
  } else if (command == "client-origin") {
    POINT p{0, 0};
    ClientToScreen(window, &p);
    std::printf("%ld %ld\n", p.x, p.y);
  } else if (command == "client-size") {
    RECT r;
    GetClientRect(window, &r);
    std::printf("%ld %ld\n", r.right, r.bottom);
  } else if (command == "edit-text" && argc > 3) {
    if (!nth_edit(window, std::atoi(argv[3])))
      return 1;
    std::printf("%s\n", edit_text(window, std::atoi(argv[3])).c_str());
  } else {
    return 2;
  }
  return 0;
}
