// The worker thread that owns every framework window but the main window,
// the request executor and the posters, and Exit.
// Win32 for the thread and the GUI thread's waits.
#include <windows.h>

#include <atomic>
#include <cstdint>

#include "image/slots.h"
#include "qellib.h"
#include "shell/shell_win.h"
#include "text/text_backend.h"
#include "text/log_file.h"
#include "text/text_windows.h"

HANDLE worker_thread = nullptr;

namespace {

// The worker's message-only window: the GUI thread posts msg_wake_worker to
// it after Stop and Exit, so that a worker asleep in a pump or a pause wakes
// at once. Written by the worker when it starts and when it leaves; the GUI
// thread only posts to it.
std::atomic<HWND> wake_window{nullptr};

// Exit under way: menus and dialog boxes that the worker's windows or the
// user program opened run message loops of their own, which would keep the
// worker from returning to its loop; each is ended as if cancelled.
BOOL CALLBACK end_dialog(HWND window, LPARAM)
{
  wchar_t class_name[8];
  if (GetClassNameW(window, class_name, 8) && lstrcmpW(class_name, L"#32770") == 0)
    EndDialog(window, IDCANCEL);
  return TRUE;
}

void end_modal_loops()
{
  EndMenu();
  EnumThreadWindows(GetCurrentThreadId(), end_dialog, 0);
}

LRESULT CALLBACK wake_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
  if (message != msg_wake_worker)
    return DefWindowProcW(window, message, wparam, lparam);
  if (exit_state.load(std::memory_order_acquire) != 0)
    end_modal_loops();
  return 0;
}

void open_wake_window()
{
  WNDCLASSW wc{};
  wc.lpfnWndProc = wake_window_proc;
  wc.hInstance = app_instance;
  wc.lpszClassName = wake_window_class;
  RegisterClassW(&wc);   // an earlier start in this process registered it already
  wake_window.store(CreateWindowW(wake_window_class, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  app_instance, nullptr),
                    std::memory_order_release);
}

// GUI thread: a sleeping worker looks at the run-control flags now.
void wake_worker()
{
  if (HWND window = wake_window.load(std::memory_order_acquire))
    PostMessageW(window, msg_wake_worker, 0, 0);
}

// The worker leaves no window behind: each is closed by its own thread,
// so that the records that name it are cleared with it, and nothing is left
// for the end of the thread or for the GUI thread's shut-down to tear down.
void close_worker_windows()
{
  QEL_CloseInputBox();
  QEL_CloseButtonBox();
  for (int n = 0; n < text_window_count; ++n)
    QEL_CloseTextWindow(n);
  for (int slot = 0; slot < slot_count; ++slot)
    QEL_DestroyImage(slot);
  DestroyWindow(wake_window.exchange(nullptr, std::memory_order_acq_rel));
}

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

// Waits until the worker says it has finished (exit_state 2), at most
// `limit_ms`, answering what the worker sends this thread meanwhile: its
// windows closing hand the activation to the main window. The thread's own
// end is not waited for: under Wine its handle was seen to signal 10 s
// after the thread had gone.
bool wait_for_worker(std::uint32_t limit_ms)
{
  const std::uint32_t since = ms_clock();
  while (exit_state.load(std::memory_order_acquire) != 2) {
    if (ms_clock() - since > limit_ms)
      return false;
    MsgWaitForMultipleObjects(1, &worker_thread, FALSE, 1, QS_SENDMESSAGE);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  return true;
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

void stop_from_gui()
{
  press_stop();
  wake_worker();
}

DWORD WINAPI worker_thread_proc(LPVOID)
{
  mark_worker_thread();
  open_wake_window();
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
  close_worker_windows();
  QEL_DoEvents();
  exit_state.store(2, std::memory_order_release);
  return 0;
}

// Exit. The worker is asked to finish and woken; its pumps, pauses and line
// input return once they see Exit, so a user program that looks at Stop
// ends within a pass of its loop and the worker leaves by itself. One that
// ignores everything gets 2 s; then the process ends here and now: a thread
// killed inside a system call may hold locks (the X11 display's under Wine)
// that destroying the windows and shutting the library down would wait on
// for good.
void run_exit()
{
  // A second Exit (a key pressed again while this one waits) has nothing to add.
  if (exit_state.load(std::memory_order_acquire) != 0)
    return;
  line_input_owner.store(0, std::memory_order_release);
  stop_requested.store(1, std::memory_order_release);
  exit_state.store(1, std::memory_order_release);
  wake_worker();
  close_all_logs();
  if (worker_thread && !wait_for_worker(exit_limit_ms)) {
    close_all_logs();
    TerminateProcess(GetCurrentProcess(), 1);
  }
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
