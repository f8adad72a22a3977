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

TEST_CASE("the channel hands every request over once, in order, with its parameters")
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
}
