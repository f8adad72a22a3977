// The window-edge list gathered from the windows themselves: this process's
// top-level windows of the framework's classes, as the system reports them.
// Either thread may rebuild: nothing here reads the worker's tables (image
// slots, text windows, boxes), and the calls used send no messages, so the
// GUI thread and the worker never wait for each other here. Win32 for the
// window enumeration and the keyboard state.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <vector>

#include "qellib.h"
#include "shell/app_win.h"
#include "shell/edge_list.h"

namespace {

// Window kinds in the order the list keeps them; within a kind, windows go by
// the number their owner stored (image slot, text window index).
enum WindowRank { rank_image, rank_text, rank_input_box, rank_button_box, rank_main, rank_none };

WindowRank rank_of(HWND window)
{
  if (window == main_window)
    return rank_main;
  wchar_t name[16];
  if (!GetClassNameW(window, name, static_cast<int>(std::size(name))))
    return rank_none;
  const wchar_t* const classes[] = {image_window_class, text_window_class, input_box_class,
                                    button_box_class};
  for (int rank = rank_image; rank < rank_main; ++rank)
    if (std::wcscmp(name, classes[rank]) == 0)
      return static_cast<WindowRank>(rank);
  return rank_none;
}

struct FoundWindow {
  WindowRank rank;
  LONG_PTR number;
  edge_rect rect;
};

// Room for every window the framework can have open at once.
constexpr std::size_t max_windows = slot_count + text_window_count + 3;

BOOL CALLBACK collect_window(HWND window, LPARAM lparam)
{
  auto& found = *reinterpret_cast<std::vector<FoundWindow>*>(lparam);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId())
    return TRUE;
  const WindowRank rank = rank_of(window);
  RECT r;
  if (rank == rank_none || !GetWindowRect(window, &r))
    return TRUE;
  found.push_back({rank, GetWindowLongPtrW(window, GWLP_USERDATA),
                   {r.left, r.top, r.right, r.bottom}});
  return found.size() < max_windows;
}

} // namespace

void set_window_number(HWND window, int number)
{
  SetWindowLongPtrW(window, GWLP_USERDATA, number);
}

void rebuild_window_edges()
{
  std::vector<FoundWindow> found;
  found.reserve(max_windows);
  EnumWindows(collect_window, reinterpret_cast<LPARAM>(&found));
  std::sort(found.begin(), found.end(), [](const FoundWindow& a, const FoundWindow& b) {
    return a.rank != b.rank ? a.rank < b.rank : a.number < b.number;
  });
  std::vector<edge_rect> rects(found.size());
  std::transform(found.begin(), found.end(), rects.begin(), [](const FoundWindow& f) { return f.rect; });
  // The bottom strip lies below the full-screen client area and one caption.
  rebuild_edge_list(GetSystemMetrics(SM_CXFULLSCREEN),
                    GetSystemMetrics(SM_CYFULLSCREEN) + GetSystemMetrics(SM_CYCAPTION),
                    rects.data(), static_cast<int>(rects.size()));
}

void snap_window_rect(HWND window, RECT* proposed)
{
  if (!proposed || GetKeyState(VK_CONTROL) >= 0)
    return;
  RECT current;
  if (!GetWindowRect(window, &current))
    return;
  edge_rect moved{proposed->left, proposed->top, proposed->right, proposed->bottom};
  snap_moving_rect(moved, {current.left, current.top, current.right, current.bottom}, true);
  *proposed = RECT{moved.left, moved.top, moved.right, moved.bottom};
}

LRESULT on_window_move(HWND window, UINT message, LPARAM lparam)
{
  if (message == WM_MOVING) {
    snap_window_rect(window, reinterpret_cast<RECT*>(lparam));
    return TRUE;
  }
  rebuild_window_edges();
  return 0;
}
