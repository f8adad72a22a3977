// Driving the real framework from a Windows test: start it on a thread of its
// own (that thread becomes the GUI thread), act as a user would by posting the
// messages that clicks and keys cause, wait for the worker, read the results.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "qellib.h"
#include "shell/shell_win.h"
#include "text/text_backend.h"
#include "text/text_win.h"
#include "text/text_windows.h"

// The user hooks of test programs: set them before start_framework().
struct TestHooks {
  std::function<void()> setup;
  std::function<void()> main;
};
extern TestHooks test_hooks;

struct StartOptions {
  bool animate = false;   // play the drop-in animation at its real pace
};

// Starts the framework and waits until the main window exists and the worker
// has run user_setup. Returns false if that did not happen within 10 s.
bool start_framework(StartOptions options = {});

// Chooses Exit as the user would (command 1002) and waits for the GUI thread
// to end. Returns the framework's result (0 after a normal end), or -1 if it
// did not end within the timeout.
int stop_framework(int timeout_ms = 10000);

// A framework for one test case: started with the hooks set before it, then
// stopped when the case ends, with the hooks and start-up files cleared.
struct Framework {
  explicit Framework(StartOptions options = {}) : started(start_framework(options)) {}
  ~Framework();
  Framework(const Framework&) = delete;
  Framework& operator=(const Framework&) = delete;
  bool started;
};

// A framework of type F (Framework, or one that also sets hooks) for a test
// case, which fails there when the framework does not start. It throws, as a
// failed REQUIRE does, and leaves this header free of the test framework:
// the benches include it too.
template <typename F>
struct Started : F {
  Started()
  {
    if (!this->started)
      throw std::runtime_error("the framework did not start");
  }
};

// Polls `condition` every millisecond until it holds or the time is up.
bool wait_until(const std::function<bool()>& condition, int timeout_ms = 5000);

// Sends a message to a window of the framework from the test thread (the
// receiving thread handles it; the call returns its result).
LRESULT send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
void post(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

// Sets a key down or up in the calling thread's keyboard state.
void set_key_state(int key, bool down);

// Holds Ctrl for the thread that owns `window` while the object lives: that
// thread reads it from its keyboard state, which the test shares meanwhile.
class HoldCtrl {
public:
  explicit HoldCtrl(HWND window);
  ~HoldCtrl();
  HoldCtrl(const HoldCtrl&) = delete;
  HoldCtrl& operator=(const HoldCtrl&) = delete;

private:
  DWORD self_, target_;
};

// Key presses as the window procedure sees them (WM_KEYDOWN, optionally with
// Ctrl held).
void press_key(HWND window, WPARAM key, bool ctrl = false);

// Files dropped on a window as the shell delivers them: DROPFILES, then wide
// names each ending in a zero, then one more zero. The receiver releases it.
HDROP make_drop(const std::vector<std::wstring>& paths);

// The pointer's messages at client point (x, y) of a window, posted as the
// system posts them: a move, a left press (Shift optional), a right press.
inline void mouse_move(HWND window, int x, int y) { post(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
inline void left_click(HWND window, int x, int y, bool shift = false)
{
  post(window, WM_LBUTTONDOWN, MK_LBUTTON | (shift ? MK_SHIFT : 0), MAKELPARAM(x, y));
}
inline void right_click(HWND window, int x, int y) { post(window, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y)); }

std::string window_text(HWND window);
// Waits until the main window's status line shows `text`. The worker posts
// its status texts, and a read (a sent message) can overtake a post.
bool status_shows(const char* text);
inline HWND text_window_handle(int n) { return static_cast<HWND>(text_backend_window(n)); }
RECT window_rect(HWND window);
RECT client_rect(HWND window);
HBITMAP make_dib(int w, int h, std::uint32_t** pixels);   // 32-bit top-down DIB section
// The window's w x h pixels at (x0, y0), in window coordinates, as 0x00RRGGBB.
// Read them on the window's own thread: every thread's GetDC returns the one
// DC of a window that has its own (image and text windows), and a read from
// another thread can upset the clipping of a paint under way there.
std::vector<std::uint32_t> window_pixels(HWND window, int w, int h, int x0 = 0, int y0 = 0);
// How many of those pixels differ from expected(x, y); on the window's thread too.
int mismatches(HWND window, int w, int h, const std::function<std::uint32_t(int, int)>& expected,
               int x0 = 0, int y0 = 0);

// Puts `size` bytes on the clipboard as its one format; false when the
// clipboard stays busy.
bool set_clipboard(UINT format, const void* data, size_t size);

// A file's bytes ("" when it cannot be read), and a file removed when the
// object goes: declared before a framework that holds it open (a text
// window's log), it goes after the framework.
std::string file_text(const std::string& name);
struct RemovedLog {
  std::string name;
  ~RemovedLog() { DeleteFileA(name.c_str()); }
};

// Answers every message box that this process shows, as a person would,
// and records what it said. Active while the object lives.
class MessageBoxAnswerer {
public:
  struct Seen {
    std::string caption;
    std::string text;
  };
  explicit MessageBoxAnswerer(int button_id = IDOK);
  ~MessageBoxAnswerer();
  std::vector<Seen> seen() const;
  bool wait_for(size_t count, int timeout_ms = 5000) const;

private:
  const int button_id_;
  std::atomic<bool> running_{true};
  mutable std::mutex mutex_;
  std::vector<Seen> seen_;
  std::thread thread_;
};

// The right-click menu of a window, read while it is open and then closed:
// item texts (empty for separators) and whether each is enabled.
struct MenuItemView {
  std::string text;
  UINT id;
  bool enabled;
  bool checked;
  std::vector<std::string> sub_items;   // texts of its sub-menu, if it opens one
};
// The click lands at `at` in the window's coordinates, with the mouse
// message's key flags `keys` (MK_CONTROL, ...).
std::vector<MenuItemView> open_context_menu(HWND window, UINT click_message = WM_RBUTTONDOWN,
                                            POINT at = {5, 5}, WPARAM keys = 0);
bool context_menu_open();   // a pop-up menu of this process is on screen

// A common dialog of this process (open, save, colour) once it is on screen,
// or nullptr after 10 s; and pressing one of its buttons until it has gone
// (a dialog that stays is cancelled, and false returned).
HWND wait_for_dialog(const wchar_t* title);
bool press_dialog_button(HWND dialog, int id);
HWND file_name_box(HWND dialog);   // the file name field of an open or save dialog
