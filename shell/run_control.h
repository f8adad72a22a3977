// Run-control flags and the request channel: the only state the GUI thread
// and the worker thread share besides posted messages. The flags are written
// by one thread per direction; the channel hands one request at a time from
// the GUI thread (poster) to the worker (executor). Parameter fields are
// plain: the release store of request_code publishes them, and the release
// store of request_done publishes the result.
#pragma once

#include <atomic>

// Run-control flags: 0/1, except exit_state (0 running, 1 exit asked, 2 worker done).
extern std::atomic<int> start_requested;   // GUI thread sets (Start), worker clears
extern std::atomic<int> user_running;      // worker writes, GUI thread reads
extern std::atomic<int> stop_requested;    // GUI thread sets (Stop, Exit), worker clears
extern std::atomic<int> exit_state;        // GUI thread sets 1, worker sets 2 on leaving

enum RequestCode {
  REQ_NONE = 0,
  REQ_CREATE_IMAGE = 9001,
  REQ_REDRAW_IMAGE = 9002,
  REQ_LOAD_IMAGE = 9003,
  REQ_PASTE_IMAGE = 9004,
  REQ_OPEN_TEXT_WINDOW = 9005,
  REQ_OPEN_INPUT_BOX = 9006,
  REQ_OPEN_BUTTON_BOX = 9007,
  // Runs a job of the main window on the worker as one request: a creation
  // dialogue, a drop of files, the window report. Whatever the job does to
  // the worker's windows and the current image then happens on their
  // thread, in one piece, and never interleaved with a run of user_main.
  REQ_RUN_JOB = 9008,
};

using RequestJob = int (*)(void* context);

// The parameter block of the pending request. Owned by the poster until it
// stores request_code, by the executor until it stores request_done.
struct RequestParams {
  int index = 0;                 // image slot, text window, or item count
  const char* title = nullptr;   // lives in the poster's frame: the poster waits
  int x = 0, y = 0;              // -1 lets the system place the window
  int width = 0, height = 0;     // client size, or counts for the button box
  int zoom = 100;
  int bits = 32;
  const char* path = nullptr;
  void* bitmap = nullptr;        // a clipboard bitmap; the worker owns it once posted
  RequestJob job = nullptr;      // REQ_RUN_JOB: its result is the request's result
  void* job_context = nullptr;   // lives in the poster's frame, as the title does
};

extern std::atomic<int> request_code;  // 0 = channel free
extern std::atomic<int> request_done;  // 0 while pending, 1 when served
extern int request_result;             // result of 9001 and 9003
extern RequestParams request;

// Back to the start-up state: flags 0, channel free with request_done 1.
void reset_run_control();

// Poster side (GUI thread). Waits for a free channel running `pump`, writes the
// parameters, clears request_done, stores the code last, then runs `pump`
// until the worker reports the request done. Returns request_result.
// A request that Exit overtook returns request_abandoned instead of a result.
using PumpFunction = void (*)();
constexpr int request_abandoned = -1;
int post_request(int code, const RequestParams& params, PumpFunction pump);

// Executor side (worker thread). If a request is pending, runs `execute` on it
// and returns true; request_done is set before request_code is cleared.
using ExecuteFunction = int (*)(int code, const RequestParams& params);
bool serve_pending_request(ExecuteFunction execute);

// Read by the main window (GUI thread), which greys its commands and ignores
// Start while a line input waits (text window index + 1, or 0) or a point
// tool waits. Written by the worker; Exit clears line_input_owner to end a
// waiting line input.
extern std::atomic<int> line_input_owner;
extern std::atomic<int> tool_active;

// Start / Stop as the main window performs them.
void press_start();   // start_requested = 1 unless the user program runs or a line is awaited
void press_stop();    // stop_requested = 1
