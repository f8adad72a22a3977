// The worker thread that owns every framework window but the main window,
// the request executor and the posters, and Exit.
// Win32 for the thread and the GUI thread's waits.
#include <windows.h>

#include "image/slots.h"
#include "qellib.h"
#include "shell/shell_win.h"
#include "text/text_backend.h"
#include "text/log_file.h"
#include "text/text_windows.h"

HANDLE worker_thread = nullptr;

namespace {

int execute_request(int code, const RequestParams& p)
{
  switch (code) {
  case REQ_CREATE_IMAGE:
    if (p.index >= slot_count || p.index < 0)
      return QEL_BAD_SLOT;
    return create_image(p.index, p.title, p.x, p.y, p.width, p.height, p.bits, p.zoom, 1);
  case REQ_REDRAW_IMAGE:
    QEL_ShowImage(p.index);
    return 0;
  case REQ_LOAD_IMAGE: {
    QEL_SelectImage(p.index);
    const int result = QEL_LoadImage(p.path, p.x, p.y);
    QEL_RestoreImage();
    return result;
  }
  case REQ_PASTE_IMAGE:
    QEL_PasteBitmap(p.bitmap);
    return 0;
  case REQ_OPEN_TEXT_WINDOW:
    // An open window only comes forward; it does not become current.
    if (text_window_is_open(p.index))
      text_backend_foreground(p.index);
    else if (p.index >= 0 && p.index < text_window_count)
      QEL_OpenTextWindow(p.index, p.x, p.y, p.width, p.height);
    return 0;
  case REQ_OPEN_INPUT_BOX:
    QEL_CloseInputBox();
    QEL_OpenInputBox(p.x, p.y, p.index);
    return 0;
  case REQ_OPEN_BUTTON_BOX:
    QEL_CloseButtonBox();
    QEL_OpenButtonBox(p.x, p.y, p.width, p.height);
    return 0;
  case REQ_RUN_JOB:
    return p.job ? p.job(p.job_context) : 0;
  default:
    return 0;
  }
}

// The GUI thread's: how many of its posters are waiting (a poster's pump
// may dispatch a command that posts again), and a Start that came in while
// they waited.
int posting_depth = 0;
bool start_waiting = false;

// Every poster of the main window goes through here. A Start pressed while
// a poster waits would otherwise reach the worker between two jobs of the
// main window (a drop, then the user program, before the dropped picture is
// in): it is held until the last poster is done.
int post_from_gui(int code, const RequestParams& params)
{
  ++posting_depth;
  const int result = post_request(code, params, gui_pump);
  if (--posting_depth == 0 && start_waiting) {
    start_waiting = false;
    if (exit_state.load(std::memory_order_acquire) == 0)
      press_start();
  }
  return result;
}

bool worker_active()
{
  DWORD code = 0;
  return worker_thread && GetExitCodeThread(worker_thread, &code) && code == STILL_ACTIVE;
}

void run_user_program()
{
  accept_main_window_drops(false);
  user_running.store(1, std::memory_order_release);
  start_requested.store(0, std::memory_order_release);
  stop_requested.store(0, std::memory_order_release);
  user_main();
}

} // namespace

void start_from_gui()
{
  if (posting_depth > 0 && line_input_owner.load(std::memory_order_acquire) == 0)
    start_waiting = true;
  else
    press_start();
}

DWORD WINAPI worker_thread_proc(LPVOID)
{
  mark_worker_thread();
  user_setup();
  rebuild_window_edges();
  while (exit_state.load(std::memory_order_acquire) == 0) {
    Sleep(1);
    QEL_DoEvents();
    serve_pending_request(execute_request);
    if (start_requested.load(std::memory_order_acquire) == 1 &&
        user_running.load(std::memory_order_acquire) == 0) {
      run_user_program();
      // After Exit the main window is about to go: leave without touching it.
      if (exit_state.load(std::memory_order_acquire) != 0)
        break;
      user_running.store(0, std::memory_order_release);
      stop_requested.store(0, std::memory_order_release);
      accept_main_window_drops(true);
    }
  }
  exit_state.store(2, std::memory_order_release);
  QEL_DoEvents();
  return 0;
}

void run_exit()
{
  line_input_owner.store(0, std::memory_order_release);
  stop_requested.store(1, std::memory_order_release);
  exit_state.store(1, std::memory_order_release);
  close_all_logs();
  // While it waits, the GUI thread still answers messages the worker sends
  // it: a worker blocked on such a call would otherwise be killed after 2 s
  // mid-call.
  const std::uint32_t since = ms_clock();
  while (worker_active() && ms_clock() - since <= 2000) {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    Sleep(0);
  }
  if (worker_active())
    TerminateThread(worker_thread, 1);
  int expected = 1;
  exit_state.compare_exchange_strong(expected, 2);
  if (worker_thread)
    CloseHandle(worker_thread);
  worker_thread = nullptr;
  DestroyWindow(main_window);
}

int post_create_image(int slot, const char* title, int width, int height, int bits)
{
  RequestParams p;
  p.index = slot;
  p.title = title;
  p.x = -1;
  p.y = -1;
  p.width = width;
  p.height = height;
  p.zoom = 100;
  p.bits = bits;
  return post_from_gui(REQ_CREATE_IMAGE, p);
}

void post_redraw_image(int slot)
{
  RequestParams p;
  p.index = slot;
  post_from_gui(REQ_REDRAW_IMAGE, p);
}

int post_load_image(int slot, const char* path)
{
  RequestParams p;
  p.index = slot;
  p.path = path;
  p.x = 0;
  p.y = 0;
  return post_from_gui(REQ_LOAD_IMAGE, p);
}

void post_paste_image(HBITMAP bitmap)
{
  RequestParams p;
  p.bitmap = bitmap;
  post_from_gui(REQ_PASTE_IMAGE, p);
}

void post_open_text_window(int slot)
{
  RequestParams p;
  p.index = slot;
  p.x = p.y = p.width = p.height = -1;
  post_from_gui(REQ_OPEN_TEXT_WINDOW, p);
}

void post_open_input_box(int items)
{
  RequestParams p;
  p.index = items;
  p.x = p.y = 0;
  post_from_gui(REQ_OPEN_INPUT_BOX, p);
}

void post_open_button_box(int columns, int rows)
{
  RequestParams p;
  p.width = columns;
  p.height = rows;
  p.x = p.y = 0;
  post_from_gui(REQ_OPEN_BUTTON_BOX, p);
}

int post_job(RequestJob job, void* context)
{
  RequestParams p;
  p.job = job;
  p.job_context = context;
  return post_from_gui(REQ_RUN_JOB, p);
}
