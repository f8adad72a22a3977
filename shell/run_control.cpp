#include "shell/run_control.h"

#include "qellib.h"

std::atomic<int> start_requested{0};
std::atomic<int> user_running{0};
std::atomic<int> stop_requested{0};
std::atomic<int> exit_state{0};

std::atomic<int> line_input_owner{0};
std::atomic<int> tool_active{0};

std::atomic<int> request_code{0};
std::atomic<int> request_done{1};
int request_result = 0;
RequestParams request;

void reset_run_control()
{
  start_requested.store(0);
  user_running.store(0);
  stop_requested.store(0);
  exit_state.store(0);
  line_input_owner.store(0);
  tool_active.store(0);
  request_code.store(0);
  request_done.store(1);
  request_result = 0;
  request = RequestParams{};
}

namespace {

// Once Exit has been chosen the worker serves nothing more: a poster that kept
// waiting would spin forever.
bool exiting()
{
  return exit_state.load(std::memory_order_acquire) != 0;
}

} // namespace

int post_request(int code, const RequestParams& params, PumpFunction pump)
{
  // Another request may still be in service: its parameters belong to the
  // worker until it frees the channel.
  while (request_code.load(std::memory_order_acquire) != 0) {
    if (exiting())
      return request_abandoned;
    pump();
  }
  if (exiting())
    return request_abandoned;
  request = params;
  request_done.store(0, std::memory_order_relaxed);
  request_code.store(code, std::memory_order_release);
  while (request_done.load(std::memory_order_acquire) == 0) {
    if (exiting())
      return request_abandoned;
    pump();
  }
  return request_result;
}

bool serve_pending_request(ExecuteFunction execute)
{
  const int code = request_code.load(std::memory_order_acquire);
  if (code == 0)
    return false;
  request_result = execute(code, request);
  request_done.store(1, std::memory_order_release);
  request_code.store(0, std::memory_order_release);
  return true;
}

// A line awaited by a dialogue of the main window belongs to that dialogue:
// Start then would run the user program behind the dialogue's back.
void press_start()
{
  if (user_running.load(std::memory_order_acquire) == 0 &&
      line_input_owner.load(std::memory_order_acquire) == 0)
    start_requested.store(1, std::memory_order_release);
}

void press_stop()
{
  stop_requested.store(1, std::memory_order_release);
}

int qel_stop_requested()
{
  return stop_requested.load(std::memory_order_acquire) != 0 ? 1 : 0;
}

int qel_exit_requested()
{
  return exit_state.load(std::memory_order_acquire) != 0 ? 1 : 0;
}
