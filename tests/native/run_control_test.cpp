// The request channel between two real threads: every posted request is served
// exactly once, with the parameters it was posted with, and its result comes
// back to the poster that posted it. The worker polls the channel all the
// time, so a request served from a free channel would show in the count.
#include <doctest/doctest.h>

#include <thread>

#include "shell/run_control.h"

namespace {

int served = 0;

// A result that depends on every field the poster wrote.
int echo(int code, const RequestParams& p) { return code - 9000 + p.index * 10 + p.width * 1000 + p.height; }

} // namespace

TEST_CASE("the channel hands every request over once, in order, with its parameters; Start and Stop")
{
  reset_run_control();
  constexpr int request_count = 20000;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    while (!done.load(std::memory_order_acquire))
      if (!serve_pending_request([](int code, const RequestParams& p) { ++served; return echo(code, p); }))
        std::this_thread::yield();
  });
  int wrong = 0;
  for (int i = 0; i < request_count; ++i) {
    const RequestParams p{.index = i % 7, .width = i % 13, .height = i % 5};
    const int code = REQ_CREATE_IMAGE + i % 7;
    wrong += post_request(code, p, [] { std::this_thread::yield(); }) != echo(code, p);
  }
  done.store(true, std::memory_order_release);
  worker.join();
  CHECK((wrong == 0 && served == request_count));
  CHECK((request_code.load() == 0 && request_done.load() == 1));

  // Start is ignored while the user program runs or a line is awaited; Stop
  // only sets its flag.
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
  CHECK((stop_requested.load() == 1 && user_running.load() == 1));
}
