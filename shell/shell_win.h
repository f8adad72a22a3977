// The top of the program: start-up and shut-down, the main window, the
// worker thread and the request posters. Only the entry point and tests
// reach in here; the subsystems use shell/app_win.h.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shell/app_win.h"
#include "shell/run_control.h"

// The worker thread's handle: the GUI thread's, from the main window's
// creation to the end of Exit.
extern HANDLE worker_thread;

// Busy-wait lengths of the main window's drop-in animation (20 ms per step,
// 500 ms at the end). Tests that do not look at the animation may shorten them.
extern std::uint32_t drop_in_step_ms;
extern std::uint32_t drop_in_settle_ms;

// The whole program on the calling thread: start-up, the GUI message loop and
// shut-down. 0 after a normal end, 1 when start-up fails.
int run_framework(HINSTANCE instance);

LRESULT CALLBACK main_window_proc(HWND, UINT, WPARAM, LPARAM);
HMENU build_main_popup_menu(bool busy);   // the right-click menu; busy greys all but Stop and Exit
DWORD WINAPI worker_thread_proc(LPVOID);
void run_exit();                          // Exit as the main window performs it; ends the process when the worker does not finish within exit_limit_ms
void start_from_gui();                    // Start as the main window performs it; held while a poster waits
void stop_from_gui();                     // Stop as the main window performs it; wakes the worker
constexpr std::uint32_t exit_limit_ms = 2000;

// Request posters: GUI thread only. Each waits, pumping the GUI thread's
// messages, until the worker has served the request.
int  post_create_image(int slot, const char* title, int width, int height, int bits);
void post_redraw_image(int slot);
int  post_load_image(int slot, const char* path);
void post_paste_image(HBITMAP bitmap);
void post_open_text_window(int slot);
void post_open_input_box(int items);
void post_open_button_box(int columns, int rows);
int  post_job(RequestJob job, void* context);   // REQ_RUN_JOB; the job's result

// Files dropped on the main window, and files named on the command line,
// which open as if dropped once start-up is over: the entry point remembers
// them, and the main window posts itself msg_open_startup_files when it is
// ready. GUI thread; the files are opened by a job on the worker.
void open_dropped_files(HDROP drop);                        // releases the drop handle
void remember_startup_files(const wchar_t* command_line);   // program name first, as GetCommandLineW gives it
void set_startup_files(std::vector<std::wstring> files);
void open_startup_files();

// The main window's commands that work on the worker's windows, run there
// as jobs (dialogues_win.cpp).
int image_window_dialogue(void*);
int text_window_command(void*);
int input_box_dialogue(void*);
int button_box_dialogue(void*);
int window_info_command(void*);
