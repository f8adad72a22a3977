// Running test code on the worker thread, which owns the framework's windows.
// user_setup makes a message-only window there; a job is sent to it and runs
// whenever the worker pumps: in its idle loop or inside user_main.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "image/image_win.h"
#include "qel_test.h"

namespace worker_jobs_detail {

inline HWND jobs_window = nullptr;
constexpr UINT run_job_message = WM_APP + 0x3A1;

inline LRESULT CALLBACK jobs_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
  if (message == run_job_message) {
    (*reinterpret_cast<const std::function<void()>*>(lparam))();
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

} // namespace worker_jobs_detail

// Sets test_hooks.setup; call before start_framework(). `more` runs after the
// job window exists, still in user_setup.
inline void install_worker_jobs(std::function<void()> more = nullptr)
{
  test_hooks.setup = [more] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = worker_jobs_detail::jobs_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"qel_test_jobs";
    RegisterClassW(&wc);   // fails harmlessly when a previous start registered it
    worker_jobs_detail::jobs_window = CreateWindowExW(0, L"qel_test_jobs", L"", 0, 0, 0, 0, 0,
                                                      HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (more)
      more();
  };
}

// Runs `job` on the worker and returns when it is done.
inline void on_worker(const std::function<void()>& job)
{
  SendMessageW(worker_jobs_detail::jobs_window, worker_jobs_detail::run_job_message, 0,
               reinterpret_cast<LPARAM>(&job));
}

// A value computed on the worker.
template <typename F>
auto worker_value(F f) -> decltype(f())
{
  decltype(f()) result{};
  on_worker([&] { result = f(); });
  return result;
}

// Waits until the window of image `slot` shows expected(x, y) in its w x h
// pixels at (x0, y0). They are read on the worker, which owns the window and
// its one DC, from the slot's window of the moment: a resize makes a new one.
inline bool slot_window_shows(int slot, int w, int h, const std::function<std::uint32_t(int, int)>& expected,
                              int x0 = 0, int y0 = 0)
{
  return wait_until([&] {
    return worker_value([&] { return mismatches(slot_window(slot), w, h, expected, x0, y0); }) == 0;
  });
}

// Types a line and Enter where a line is awaited. The characters go in from
// inside the line input's own pump, so all of them are waiting before it
// reads on: a second question finds the rest.
inline bool type_answer(const char* text)
{
  if (!wait_until([] { return line_input_owner.load() != 0; }))
    return false;
  return worker_value([&] {
    const HWND window = text_window_handle(current_text_window());
    for (const char* c = text; *c; ++c)
      SendMessageW(window, WM_CHAR, static_cast<unsigned char>(*c), 1);
    return true;
  });
}

// A call that waits on the worker for the user's clicks (a point tool, or a
// command that uses one), run from a thread of its own so that the test can
// click meanwhile. finish() waits for it to return, pressing Stop if it does
// not, and gives its result.
class WaitingCall {
public:
  explicit WaitingCall(std::function<int()> call)
      : thread_([this, call = std::move(call)] { result_ = worker_value(call); })
  {
  }
  ~WaitingCall() { finish(); }
  bool waiting() const { return wait_until([] { return tool_active.load() != 0; }); }
  int finish()
  {
    if (thread_.joinable()) {
      if (!wait_until([] { return tool_active.load() == 0; }))
        press_stop();
      thread_.join();
    }
    return result_;
  }

private:
  std::atomic<int> result_{-1};
  std::thread thread_;
};

// A framework started for one test case with jobs on the worker.
struct JobsFramework : Framework {
  JobsFramework() : Framework((install_worker_jobs(), StartOptions{})) {}
};
