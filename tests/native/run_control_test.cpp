// The request channel between two real threads: every posted request is served
// exactly once, with the parameters it was posted with, and its result comes
// back to the poster that posted it.
#include <doctest/doctest.h>

#include <thread>

#include "shell/run_control.h"

namespace {

int served = 0;

int echo_request(int code, const RequestParams& params)
{
  ++served;
  // A result that depends on every field the poster wrote.
  return code - 9000 + params.index * 10 + params.width * 1000 + params.height;
}

void no_pump() { std::this_thread::yield(); }

} // namespace

TEST_CASE("channel hands every request over once, in order, with its parameters")
{
  reset_run_control();
  served = 0;
  constexpr int request_count = 20000;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    while (!done.load(std::memory_order_acquire))
      if (!serve_pending_request(echo_request))
        std::this_thread::yield();
  });
  int wrong = 0;
  for (int i = 0; i < request_count; ++i) {
    RequestParams p;
    p.index = i % 7;
    p.width = i % 13;
    p.height = i % 5;
    const int code = REQ_CREATE_IMAGE + i % 7;
    const int expected = code - 9000 + p.index * 10 + p.width * 1000 + p.height;
    if (post_request(code, p, no_pump) != expected)
      ++wrong;
  }
  done.store(true, std::memory_order_release);
  worker.join();
  CHECK(wrong == 0);
  CHECK(served == request_count);
  CHECK(request_code.load() == 0);
  CHECK(request_done.load() == 1);
}

TEST_CASE("start is ignored while the user program runs or a line is awaited; stop only sets its flag")
{
  reset_run_control();
  line_input_owner.store(1);
  press_start();
  CHECK(start_requested.load() == 0);
  line_input_owner.store(0);
  press_start();
  CHECK(start_requested.load() == 1);
  start_requested.store(0);
  user_running.store(1);
  press_start();
  CHECK(start_requested.load() == 0);
  press_stop();
  CHECK(stop_requested.load() == 1);
  CHECK(user_running.load() == 1);
}

TEST_CASE("nothing is served from a free channel")
{
  reset_run_control();
  served = 0;
  CHECK_FALSE(serve_pending_request(echo_request));
  CHECK(served == 0);
}
