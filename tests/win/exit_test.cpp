// Exit as the user chooses it: whatever the user program is doing, the
// worker finishes at a safe point and the program ends within a second; a
// program that ignores Exit ends with its process soon after 2 s.
#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "image_files.h"
#include "lenticular/program.h"
#include "program_process.h"
#include "qel_test.h"

namespace {

// Starts the framework, runs `body` as the user program, presses X once the
// run has begun and returns the milliseconds until the framework had ended
// (-1 when it did not start or did not end normally).
int exit_during(const std::function<void()>& body)
{
  std::atomic<bool> running{false};
  test_hooks.setup = [] { QEL_OpenTextWindow(0, 0, 0, 200, 100); };
  test_hooks.main = [&] {
    running = true;
    body();
  };
  int took = -1;
  if (start_framework()) {
    post(main_window, WM_COMMAND, cmd_start);
    if (wait_until([&] { return running.load(); })) {
      const std::uint32_t since = ms_clock();
      press_key(main_window, 'X');
      if (stop_framework() == 0)
        took = static_cast<int>(ms_clock() - since);
    }
    stop_framework();
  }
  test_hooks = {};
  return took;
}

} // namespace

TEST_CASE("Exit ends a run within 1 s, whatever the run is waiting in, many times over")
{
  struct Run {
    const char* waits_in;
    int times;
    std::function<void()> body;
  };
  const Run runs[] = {
      {"QEL_DoEvents until Stop", 20, [] { while (!qel_stop_requested()) QEL_DoEvents(); }},
      {"QEL_Printf until Stop", 20, [] { while (!qel_stop_requested()) QEL_Printf("."); }},
      {"PollPause until Stop", 5, [] { while (PollPause() == 0) {} }},
      // A line asked for after Exit returns at once too.
      {"three QEL_Gets", 5, [] { char line[line_size]; for (int i = 0; i < 3; ++i) QEL_Gets(line); }},
      {"a Pause box", 5, [] { QEL_Pause("waiting"); }},
  };
  for (const Run& run : runs) {
    int slowest = 0;
    for (int i = 0; i < run.times; ++i) {
      const int took = exit_during(run.body);
      CAPTURE(run.waits_in);
      CAPTURE(i);
      REQUIRE(took >= 0);
      CHECK(took < 1000);
      slowest = std::max(slowest, took);
    }
    MESSAGE(std::string(run.waits_in) << ": slowest Exit " << slowest << " ms");
  }
}

TEST_CASE("Stop wakes a PollPause asleep in its 100 ms within a few milliseconds")
{
  std::atomic<std::uint32_t> pause_began{0};
  std::atomic<std::uint32_t> woke_at{0};
  test_hooks.main = [&] {
    while (!qel_exit_requested()) {
      pause_began = ms_clock();
      if (PollPause() == 1) {
        woke_at = ms_clock();
        stop_requested.store(0);   // the next Stop is seen like the first
      }
    }
  };
  Started<Framework> framework;
  post(main_window, WM_COMMAND, cmd_start);
  std::vector<int> waits;
  for (int i = 0; i < 10; ++i) {
    // Stop 20 ms into a pause, when the pause sleeps.
    pause_began = 0;
    REQUIRE(wait_until([&] { return pause_began.load() != 0 && ms_clock() - pause_began >= 20; }));
    woke_at = 0;
    const std::uint32_t pressed = ms_clock();
    press_key(main_window, 'C');
    REQUIRE(wait_until([&] { return woke_at.load() != 0; }));
    waits.push_back(static_cast<int>(woke_at - pressed));
  }
  std::sort(waits.begin(), waits.end());
  MESSAGE("PollPause woke " << waits.front() << ".." << waits.back() << " ms after Stop");
  CHECK(waits[waits.size() / 2] <= 10);
}

TEST_CASE("processes: one ignoring Exit ends soon after 2 s; qellib.exe after S, the chart and X within 1 s, ten times")
{
  const std::wstring folder = fresh_test_folder(L"exit_work");
  Program ignoring(L"qel_ignores_exit.exe", L"", folder);
  REQUIRE(ignoring.started);
  const HWND ignoring_main = ignoring.window(L"qellib_mw");
  REQUIRE(ignoring_main);
  PostMessageW(ignoring_main, WM_COMMAND, cmd_start, 0);
  REQUIRE(ignoring.window(L"qel_twi"));
  PostMessageW(ignoring_main, WM_COMMAND, cmd_exit, 0);
  DWORD ignoring_code = 0;
  const int ended = ignoring.wait_gone(10000, &ignoring_code);
  MESSAGE("the process that ignores Exit ended " << ended << " ms after it");
  CHECK((ended >= static_cast<int>(exit_limit_ms) - 100 && ended < static_cast<int>(exit_limit_ms) + 1000));
  CHECK(ignoring_code == 1);

  REQUIRE(CopyFileW((L"Z:" QEL_SOURCE_DIR L"/docs/sample_stereo_pair.png"),
                    (folder + L"\\pair.png").c_str(), FALSE));
  int slowest = 0;
  for (int i = 0; i < 10; ++i) {
    CAPTURE(i);
    Program program(L"qellib.exe", L"pair.png", folder);
    REQUIRE(program.started);
    HWND main = program.window(L"qellib_mw");
    REQUIRE(main);
    REQUIRE(program.window(L"qel_iw", "000 pair.png(100%)"));
    PostMessageW(main, WM_KEYDOWN, 'S', 1);
    REQUIRE(program.window(L"qel_iw", "Hello,there!(100%)"));
    PostMessageW(main, WM_KEYDOWN, 'X', 1);
    DWORD exit_code = 99;
    const int took = program.wait_gone(5000, &exit_code);
    CHECK((took >= 0 && took < 1000));
    CHECK(exit_code == 0);
    slowest = std::max(slowest, took);
  }
  MESSAGE("slowest end after X: " << slowest << " ms");
}
