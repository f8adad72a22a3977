// Driving the real framework from a Windows test: start it on a thread of its
// own (that thread becomes the GUI thread), act as a user would by posting the
// messages that clicks and keys cause, wait for the worker, read the results.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
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

// Polls `condition` every millisecond until it holds or the time is up.
bool wait_until(const std::function<bool()>& condition, int timeout_ms = 5000);

// Sends a message to a window of the framework from the test thread (the
// receiving thread handles it; the call returns its result).
LRESULT send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
void post(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);

// Key presses as the window procedure sees them (WM_KEYDOWN, optionally with
// Ctrl held: the keyboard state of the receiving thread is set for it).
void press_key(HWND window, WPARAM key, bool ctrl = false);

std::string window_text(HWND window);
inline HWND text_window_handle(int n) { return static_cast<HWND>(text_backend_window(n)); }
RECT window_rect(HWND window);
RECT client_rect(HWND window);

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
  struct State;
  State* state_;
};

// The right-click menu of a window, read while it is open and then closed:
// item texts (empty for separators) and whether each is enabled.
struct MenuItemView {
  std::string text;
  UINT id;
  bool enabled;
  bool checked;
};
// The click lands at `at` in the window's coordinates.
std::vector<MenuItemView> open_context_menu(HWND window, UINT click_message = WM_RBUTTONDOWN,
                                            POINT at = {5, 5});
