// Shared by the input box and button box tests: a framework per test case
// with jobs on the worker, control places, and answering a rename question.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "qel_test.h"
#include "text/text_windows.h"
#include "worker_jobs.h"

namespace forms_test {


// A control's rectangle in its parent's client coordinates.
inline RECT placed(HWND control)
{
  RECT r = window_rect(control);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline int width_of(const RECT& r) { return r.right - r.left; }
inline int height_of(const RECT& r) { return r.bottom - r.top; }

// "left,top widthxheight" of a control, for one comparison per place.
inline std::string geometry(HWND control)
{
  const RECT r = placed(control);
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(width_of(r)) + "x" + std::to_string(height_of(r));
}

// Types the answer to a rename question into the current text window once
// the question waits, and returns when the rename has been carried out.
inline bool answer(const char* line)
{
  if (!wait_until([] { return line_input_owner.load() != 0; }))
    return false;
  const HWND window = worker_value([] { return text_window_handle(current_text_window()); });
  for (const char* c = line; *c; ++c)
    post(window, WM_CHAR, static_cast<unsigned char>(*c), 1);
  post(window, WM_CHAR, '\r', 1);
  if (!wait_until([] { return line_input_owner.load() == 0; }))
    return false;
  // A posted job runs only when the worker's own pump takes it, after the
  // rename is done (a sent one could run inside the line input's last calls).
  std::atomic<bool> reached{false};
  const std::function<void()> barrier = [&] { reached = true; };
  post(worker_jobs_detail::jobs_window, worker_jobs_detail::run_job_message, 0,
       reinterpret_cast<LPARAM>(&barrier));
  return wait_until([&] { return reached.load(); });
}

} // namespace forms_test
