// Log files in a private directory: the name rule, start / pause / resume
// and the copy's file side against the file's content, and Exit's close-all
// racing a printing thread.
#include <doctest/doctest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "text/log_file.h"

namespace {

// A fresh directory for the logs of instance 0, no log open.
std::filesystem::path fresh_log_dir()
{
  close_all_logs();
  char pattern[] = "/tmp/qel_log_XXXXXX";
  REQUIRE(mkdtemp(pattern));
  set_log_location(std::string(pattern) + "/", 0);
  return pattern;
}

std::string file_text(const std::string& name)
{
  std::ostringstream text;
  text << std::ifstream(name, std::ios::binary).rdbuf();
  return text.str();
}

void print(int n, const std::string& text) { write_log(n, text.data(), text.size()); }

} // namespace

TEST_CASE("log: file names, codes, start twice truncates once, paused text dropped, resume appends")
{
  // The start-up directory gets one backslash; then instance and window.
  set_log_location("C:\\work", 0);
  CHECK(log_file_name(12) == "C:\\work\\QELLIB012.LOG");
  set_log_location("C:\\work\\", 3);
  CHECK(log_file_name(255) == "C:\\work\\QELLIB3255.LOG");

  const auto dir = fresh_log_dir();
  const std::string name = log_file_name(5);
  std::ofstream(name) << "left by an earlier run\n";
  CHECK(std::vector{stop_log(5, true), start_log(5, false), start_log(256, true), stop_log(-1, true),
                    read_log_for_copy(5, false).result} == std::vector{1, 3, 3, 2, 4});
  // Copy before any start: the earlier run's file as it is, no log started.
  CHECK((read_log_for_copy(5, true).text == "left by an earlier run\n" && log_state(5) == log_none));

  CHECK(start_log(5, true) == 0);
  print(5, "one ");
  CHECK(start_log(5, true) == 1);
  print(5, "two\n");
  CHECK(stop_log(5, true) == 0);
  print(5, "paused\n");
  write_log_line(5, "typed while paused");
  CHECK(log_state(5) == log_paused);
  CHECK(start_log(5, true) == 0);
  write_log_line(5, "typed");
  CHECK(file_text(name) == "one two\ntyped\n");

  // A copy of a paused log holds all so far and leaves it paused (a copy
  // while logging, and a missing file, are the Windows test's).
  stop_log(5, true);
  const LogContent copy = read_log_for_copy(5, true);
  CHECK((copy.result == 0 && copy.text == "one two\ntyped\n" && log_state(5) == log_paused));

  // A window opened anew in the slot starts without a log.
  forget_log(5);
  CHECK(log_state(5) == log_none);
  CHECK((start_log(5, true) == 0 && file_text(name).empty()));
  close_all_logs();
  std::filesystem::remove_all(dir);
}

TEST_CASE("log close-all while another thread prints: every finished print is in the file")
{
  const auto dir = fresh_log_dir();
  REQUIRE(start_log(0, true) == 0);
  std::atomic<int> finished{0};
  std::jthread printer([&](std::stop_token stop) {
    for (int i = 0; !stop.stop_requested(); ++i) {
      print(0, "line " + std::to_string(i) + "\n");
      finished = i + 1;
    }
  });
  while (finished < 2000)
    std::this_thread::yield();
  const int before_close = finished;
  close_all_logs();
  const int at_close = finished;
  while (finished < at_close + 100)   // later prints are dropped, not written to a closed file
    std::this_thread::yield();
  printer.request_stop();
  printer.join();

  CHECK(log_state(0) == log_none);
  const std::string text = file_text(log_file_name(0));
  REQUIRE(text.ends_with('\n'));
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line) && line == "line " + std::to_string(count);)
    ++count;
  CHECK(lines.eof());   // every line complete and in order
  CHECK((count >= before_close && count <= at_close + 1));
  std::filesystem::remove_all(dir);
}
