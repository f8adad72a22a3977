// Running test code on the worker thread, which owns the framework's windows.
// user_setup makes a message-only window there; a job is sent to it and runs
// whenever the worker pumps: in its idle loop or inside user_main.
#pragma once

#include <windows.h>

#include <functional>

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

// A framework started for one test case with jobs on the worker.
struct JobsFramework : Framework {
  JobsFramework() : Framework((install_worker_jobs(), StartOptions{})) {}
};
