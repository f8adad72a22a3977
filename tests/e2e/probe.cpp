// A small Windows console tool for end-to-end tests: it answers questions
// about a top-level window of another program on the same desktop, found by
// its title, as a user would see it.
//   probe TITLE QUESTION            print the answer
//   probe TITLE QUESTION WANT MS    exit 0 once the answer is WANT, 1 after MS
// Questions: shown (1 or 0), foreground (1 or 0), corners (the window's and
// its client area's top-left corners on the screen), size (the client area's
// width and height), editN (the text of its N-th edit field), ok (press its
// OK button, as a click does; answers nothing).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

std::string text_of(HWND window, bool edit = false)
{
  wchar_t wide[512] = L"";
  char text[1024] = "";
  if (edit)
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(wide));
  else
    GetWindowTextW(window, wide, 512);
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

// The visible window with that title, from one snapshot of the desktop.
HWND find_titled(const std::string& title)
{
  std::pair<std::string, HWND> search{title, nullptr};
  EnumWindows(
      [](HWND w, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<std::pair<std::string, HWND>*>(l);
        if (IsWindowVisible(w) && text_of(w) == s->first)
          s->second = w;
        return !s->second;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

std::string answer(HWND w, const std::string& question)
{
  if (question == "shown")
    return w ? "1" : "0";
  char out[64] = "";
  RECT r{};
  POINT p{0, 0};
  if (!w)
    return "";
  if (question == "foreground")
    return GetForegroundWindow() == w ? "1" : "0";
  if (question == "corners" && GetWindowRect(w, &r) && ClientToScreen(w, &p))
    std::snprintf(out, sizeof out, "%ld %ld %ld %ld", r.left, r.top, p.x, p.y);
  if (question == "size" && GetClientRect(w, &r))
    std::snprintf(out, sizeof out, "%ld %ld", r.right, r.bottom);
  if (question.starts_with("edit")) {
    int n = std::atoi(question.c_str() + 4);
    for (HWND e = FindWindowExW(w, nullptr, L"Edit", nullptr); e; e = FindWindowExW(w, e, L"Edit", nullptr))
      if (n-- == 0)
        return text_of(e, true);
  }
  if (question == "ok")
    PostMessageW(w, WM_COMMAND, IDOK, 0);
  return out;
}

} // namespace

int main(int argc, char** argv)
{
  if (argc != 3 && argc != 5)
    return 2;
  // Asked without WANT, the window may be a moment from showing (a box
  // closing hands the activation around): it is looked for up to 5 s.
  const bool waits = argc == 5;
  for (int waited = 0;; waited += 20) {
    HWND window = find_titled(argv[1]);
    if (waits ? answer(window, argv[2]) == argv[3] : window != nullptr) {
      if (!waits)
        std::printf("%s\n", answer(window, argv[2]).c_str());
      return 0;
    }
    if (waited >= (waits ? std::atoi(argv[4]) : 5000))
      return 1;
    Sleep(20);
  }
}
